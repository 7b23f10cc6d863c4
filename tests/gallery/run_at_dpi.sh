#!/bin/bash
# run_at_dpi.sh DPI PREFIX EXE [ARGS...]: runs EXE in a copy of the project's
# prefix whose screen has DPI dots per inch (made once, kept in PREFIX).
set -eu
dpi=$1 prefix=$2
shift 2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
if [ ! -f "$prefix/.glimmora-dpi-$dpi" ]; then
  "$root/tools/wine/dpi-prefix" "$root/out/wine/prefix" "$prefix" "$dpi" >/dev/null
  touch "$prefix/.glimmora-dpi-$dpi"
fi
status=0
GLIMMORA_WINEPREFIX=$prefix "$root/tools/wine/run" "$@" || status=$?
WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
exit $status
