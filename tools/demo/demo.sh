#!/usr/bin/env bash
# The whole story in one go, for a newcomer: the setup program and the packer
# are built, the example project of the README is packed with the real setup
# program as its engine, and the package installs silently in a fresh Wine
# machine of its own; then what the installation left is shown: files,
# registry, shortcuts and the result file.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
package=out/GlimmoraSetup.exe
machine=out/wine-demo
mode=${1:-install}

say() { printf '\n\033[1m== %s\033[0m\n' "$*"; }
# How long each phase took, printed at the end.
phases=()
phase_start=$(date +%s.%N)
done_phase() {
  local now
  now=$(date +%s.%N)
  phases+=("$(printf '%-28s %6.1f s' "$1" "$(awk -v a="$now" -v b="$phase_start" 'BEGIN { print a - b }')")")
  phase_start=$now
}

case "$mode" in
  install) ;;
  --gui) exec "$root/tools/demo/gui.sh" ;;
  --uninstall) exec "$root/tools/demo/uninstall.sh" ;;
  *) echo "usage: ./run demo [--uninstall | --gui]" >&2; exit 2 ;;
esac

# The demo product when the win32 tree has built it, otherwise the small
# example project of the README.
project=demo/glimmora-demo.json
[ -f out/win32/product/Glimmora.exe ] || project=tests/fixtures/pack/glimmora.json
say "Packing $project with out/win32/GlimmoraInstall.exe into $package"
out/host/glimmora-pack build "$project" --engine out/win32/GlimmoraInstall.exe -o "$package"
out/host/glimmora-pack verify "$package"
done_phase "packing and verifying"

say "A fresh Windows machine (a new Wine prefix, about half a minute)"
tools/wine/setup
rm -rf "$machine"
export GLIMMORA_WINEPREFIX=$root/$machine GLIMMORA_NO_DEBUG_OUTPUT=1
tools/wine/run wineboot -i >/dev/null 2>&1
done_phase "a fresh Wine machine"
drive=$machine/drive_c

say "Installing silently: GlimmoraSetup.exe /S -f2C:\\result.txt"
tools/wine/run "$package" /S '-f2C:\result.txt'
# The registration tool runs on its own; let it finish, then write the
# registry out.
for _ in $(seq 1 60); do pgrep -f -i regsvr32 >/dev/null || break; sleep 0.5; done
WINEPREFIX=$root/$machine wineserver -k || true
sleep 1
done_phase "silent installation"

say "Result file C:\\result.txt"
cat "$drive/result.txt"

say "Installed files"
find "$drive/Program Files (x86)/Glimmora" "$drive/Program Files (x86)/Tavrin" -type f 2>/dev/null | sed "s|$drive|C:|" || true
ls -l "$drive/windows/syswow64/glimhook.dll" 2>/dev/null | sed "s|$drive|C:|" || true

say "Registry (as the 32-bit setup program sees it)"
for key in 'HKLM\Software\Tavrin\Glimmora' \
           'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmora3.5' \
           'HKLM\System\CurrentControlSet\Services\kvfilt'; do
  tools/wine/run reg query "$key" 2>/dev/null | tr -d '\r' | sed '/^$/d' || true
done

say "Shortcuts"
for link in "$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Tavrin/Tavrin Glimmora.lnk" \
            "$drive/users/Public/Desktop/Tavrin Glimmora.lnk"; do
  echo "${link#$drive}"
  lnkinfo "$link" 2>/dev/null | grep -E 'Local path|Working directory|Icon location' || true
done

say "Time taken"
printf '%s\n' "${phases[@]}"

say "Done. The machine stays in $machine for a closer look."
