#!/usr/bin/env bash
# The setup program with its windows. With a display ($DISPLAY answers), the
# wizard opens there for you to click through, in a machine of its own. With
# none, it runs on a virtual display and is clicked through by the test
# driver, one screenshot per page written to out/demo-gui/.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
package=out/GlimmoraSetup-gui.exe
machine=$root/out/wine-demo-gui
shots=out/demo-gui
say() { printf '\n\033[1m== %s\033[0m\n' "$*"; }

say "Packing demo/glimmora-demo.json into $package"
out/host/glimmora-pack build demo/glimmora-demo.json --engine out/win32/GlimmoraInstall.exe -o "$package" >/dev/null
say "A fresh Windows machine: $machine"
WINEPREFIX=$machine wineserver -k 2>/dev/null || true
rm -rf "$machine"
cp -a out/wine/prefix "$machine"
export GLIMMORA_WINEPREFIX=$machine GLIMMORA_NO_DEBUG_OUTPUT=1

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  say "The wizard is on your display ($DISPLAY); the result file will be C:\\Glimmora.log"
  tools/wine/run "$package"
  say "Done. The machine stays in $machine (result: $machine/drive_c/Glimmora.log)"
  exit 0
fi

say "No display: a virtual one, the wizard clicked through, a screenshot per page"
mkdir -p "$shots"
display_file=$root/$shots/xvfb.display
tools/wine/xvfb start "$display_file"
trap 'WINEPREFIX=$machine wineserver -k 2>/dev/null || true; tools/wine/xvfb stop "$display_file"' EXIT
export GLIMMORA_DISPLAY_FILE=$display_file GLIMMORA_STATUS_HOLD_MS=300
display=$(head -1 "$display_file")
driver=out/win32/tests/wizard_driver.exe
shot() { DISPLAY=$display import -window root "$shots/$1.png"; echo "  $shots/$1.png"; }

tools/wine/run cmd /c exit
tools/wine/run "$package" &
setup=$!
tools/wine/run "$driver" wait:120 sleep:1000 >/dev/null; shot 1-welcome
tools/wine/run "$driver" wait:10 click:1 sleep:1500 >/dev/null; shot 2-licence
tools/wine/run "$driver" wait:10 click:5 sleep:1500 >/dev/null; shot 3-destination
tools/wine/run "$driver" wait:10 click:1 sleep:1200 >/dev/null; shot 4-progress
tools/wine/run "$driver" wait:10 status:600 sleep:1000 >/dev/null; shot 5-finish
tools/wine/run "$driver" wait:10 check:1005 sleep:300 click:7 gone:30 >/dev/null
wait $setup || true
say "Result file"
cat "$machine/drive_c/Glimmora.log" 2>/dev/null || echo "(none)"
say "Screenshots of the five pages are in $shots/"
