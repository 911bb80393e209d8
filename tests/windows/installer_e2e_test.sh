#!/usr/bin/env bash
# The installer under Wine (inside tests/windows/run.sh): a silent per-user
# install puts both programs and the licence into
# %LOCALAPPDATA%\Programs\Lumora, a Start-menu entry and the uninstaller's
# key for the user; the installed lumora-cli.exe runs; the silent uninstall
# leaves none of it behind.
#
#   installer_e2e_test.sh WINDOWS_BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
work=${LUMORA_WINE_WORK:?run inside tests/windows/run.sh}
setup=$(ls "$build"/lumora-*-setup.exe)
version=$(basename "$setup" | sed 's/^lumora-\(.*\)-setup\.exe$/\1/')
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumora'
failures=0
fail() { echo "installer_e2e: $*" >&2; failures=$((failures + 1)); }

user=$(ls "$WINEPREFIX/drive_c/users" | grep -vx Public | head -n 1)
home=$WINEPREFIX/drive_c/users/$user
dir=$home/AppData/Local/Programs/Lumora
link="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Lumora.lnk"

# The installer and the uninstaller end before their work is visible to
# everyone only when Wine's processes are done: wait for the server to idle.
wine_done() { timeout 120 wineserver -w >/dev/null 2>&1 </dev/null; }
uninstall_key() { wine reg query "$key" >"$work/key.out" 2>&1 </dev/null; }

timeout 120 wine "$setup" /S >"$work/setup.log" 2>&1 </dev/null || fail "setup /S: exit status $?"
wine_done
for file in lumora.exe lumora-cli.exe LICENSE.txt uninstall.exe; do
  [[ -f $dir/$file ]] || fail "not installed: $dir/$file"
done
[[ -f $link ]] || fail "no Start-menu entry: $link"
commission_link="${link%/*}/Lumora Commissioning.lnk"
[[ -f $commission_link ]] || fail "no Start-menu entry: $commission_link"
# The link's arguments are UTF-16 text.
tr -d '\0' <"$commission_link" | grep -qa -- '--commission' ||
  fail "the Start-menu entry Lumora Commissioning does not open the commissioning window"
if uninstall_key; then
  grep -q "DisplayVersion.*$version" "$work/key.out" || fail "uninstall key without the version: $(cat "$work/key.out")"
else
  fail "no uninstall key $key"
fi

timeout 60 wine "$dir/lumora-cli.exe" --version >"$work/version.out" 2>"$work/version.err" </dev/null ||
  fail "installed lumora-cli.exe --version: exit status $?"
[[ $(tr -d '\r' <"$work/version.out") == "lumora-cli $version" ]] ||
  fail "installed lumora-cli.exe --version says: $(cat "$work/version.out")"

timeout 120 wine "$dir/uninstall.exe" /S >"$work/uninstall.log" 2>&1 </dev/null || fail "uninstall /S: exit status $?"
wine_done
[[ ! -e $dir ]] || fail "left behind: $(find "$dir")"
[[ ! -e $link ]] || fail "left behind: $link"
[[ ! -e $commission_link ]] || fail "left behind: $commission_link"
uninstall_key && fail "left behind: the key $key"

[[ $failures -eq 0 ]] || { echo "installer_e2e: $failures failures" >&2; exit 1; }
echo "installer_e2e: passed"
