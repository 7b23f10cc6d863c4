#!/usr/bin/env bash
# The other half of the demo: runs the product's uninstaller silently in the
# machine ./run demo installed into, and shows what is left of the product.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
machine=out/wine-demo
drive=$machine/drive_c
folder="$drive/Program Files (x86)/Tavrin/Glimmora"

if [ ! -f "$machine/system.reg" ]; then
  echo "Nothing installed yet: run ./run demo first." >&2
  exit 1
fi
if [ ! -f "$folder/Remove.exe" ]; then
  echo "This installation has no Remove.exe (the product's components are not built); nothing to run." >&2
  exit 1
fi
export GLIMMORA_WINEPREFIX=$root/$machine GLIMMORA_NO_DEBUG_OUTPUT=1

printf '\n\033[1m== %s\033[0m\n' 'Removing: "C:\Program Files (x86)\Tavrin\Glimmora\Remove.exe" /S'
# Started by its Windows path, as the uninstall entry names it.
tools/wine/run 'C:\Program Files (x86)\Tavrin\Glimmora\Remove.exe' /S
# The uninstaller finishes from a temporary copy of itself: wait until the
# install folder is gone (or a minute and a half has passed).
for _ in $(seq 1 180); do [ -d "$folder" ] || break; sleep 0.5; done
sleep 2
WINEPREFIX=$root/$machine wineserver -k || true
sleep 1

pending=$(grep -A3 '"PendingFileRenameOperations"' "$machine/system.reg" | grep -o 'C:\\\\[^"]*' | sed 's/\\0.*//; s/\\\\/\\/g' || true)
if [ -n "$pending" ]; then
  printf '\n\033[1m== %s\033[0m\n' "In use, removed at the next start"
  echo "$pending"
  printf '\n\033[1m== %s\033[0m\n' "Restarting the machine (wineboot -r)"
  tools/wine/run wineboot -r || true
  sleep 2
  WINEPREFIX=$root/$machine wineserver -k || true
  sleep 1
fi

printf '\n\033[1m== %s\033[0m\n' "What is left of the product"
find "$drive/Program Files (x86)/Tavrin" "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrin" \
     "$drive/users/Public/Desktop/Tavrin Glimmora.lnk" "$drive/windows/system32/drivers/kvfilt.sys" \
     "$drive/windows/syswow64/Harrow.dll" 2>/dev/null | sed "s|$drive|C:|" || true
for key in 'HKLM\Software\Tavrin\Glimmora' 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmora3.5' \
           'HKLM\System\CurrentControlSet\Services\kvfilt'; do
  if tools/wine/run reg query "$key" >/dev/null 2>&1; then echo "still there: $key"; fi
done
echo "(kept on purpose: the shared files in the Windows folder and C:\\ProgramData\\Glimmora)"
