#!/bin/bash
# run_at_dpi.sh DPI PREFIX EXE [ARGS...]: runs EXE in PREFIX, a copy of the
# project's prefix whose screen has DPI dots per inch (made once). PREFIX
# "shared" runs in the project's own prefix at its 96 dots per inch.
#
# The prefix's server is stopped before and after: a server started while
# another virtual display was up keeps its desktop there, and the pointer
# moves of the gallery would then go to a screen nobody looks at.
set -eu
dpi=$1 prefix=$2
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if [ "$prefix" = shared ]; then
  prefix=$root/out/wine/prefix
elif [ ! -f "$prefix/.glimmora-dpi-$dpi" ]; then
  "$root/tools/wine/dpi-prefix" "$root/out/wine/prefix" "$prefix" "$dpi" >/dev/null
  touch "$prefix/.glimmora-dpi-$dpi"
fi
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
status=0
GLIMMORA_WINEPREFIX=$prefix "$root/tools/wine/run" "$@" || status=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
exit $status
