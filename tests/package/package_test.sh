#!/usr/bin/env bash
# Builds the Debian package from a build tree, checks its contents and runs
# lintian on it, unpacks it into a temporary folder and runs the packaged
# tools from there: the tool's --version, and its info against the packaged
# simulator.
#
#   package_test.sh BUILD_DIR [CPACK]
set -euo pipefail
build=$(cd "$1" && pwd)
cpack=${2:-cpack}
work=$(mktemp -d)
sim_pid=
cleanup() {
  [[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "package test: $*" >&2; exit 1; }

# The package, built into the temporary folder (the build tree stays clean).
if ! "$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack failed"
fi
deb=$(ls "$work"/out/*.deb)
echo "package: $(basename "$deb")"

# Metadata: name, and library dependencies found by dpkg-shlibdeps.
[[ $(dpkg-deb -f "$deb" Package) == lumora ]] || fail "wrong package name"
depends=$(dpkg-deb -f "$deb" Depends)
echo "depends: $depends"
for lib in libc6 libstdc++6 libqt6core6; do
  [[ $depends == *"$lib"* ]] || fail "Depends lacks $lib"
done

# Contents: the three programs, the program's desktop entry and icon.
dpkg-deb -x "$deb" "$work/root"
root=$work/root/usr
# (Copyright file, changelog and compressed manual pages are lintian's.)
for f in bin/lumora bin/lumora-cli bin/lumora-sim share/icons/hicolor/48x48/apps/lumora.png; do
  [[ -e $root/$f ]] || fail "missing /usr/$f"
done
[[ $depends == *libqt6widgets6* ]] || fail "Depends lacks libqt6widgets6"
for entry in lumora lumora-commissioning; do
  desktop-file-validate "$root/share/applications/$entry.desktop" || fail "desktop entry $entry invalid"
done
grep -qx 'Exec=lumora --commission %f' "$root/share/applications/lumora-commissioning.desktop" ||
  fail "the commissioning entry does not open the commissioning window"

# Debian's checker: any error or warning fails (info and pedantic notes are
# shown only). Lintian should not run as root, since it unpacks the archive
# it checks; as root it runs as nobody, who needs a way to the package.
lintian=(lintian --info --display-info --pedantic --fail-on error,warning "$deb")
if [[ $(id -u) -eq 0 ]]; then
  chmod 711 "$work"
  chmod 755 "$work/out"
  lintian=(setpriv --reuid=nobody --regid=nogroup --clear-groups --reset-env -- "${lintian[@]}")
fi
"${lintian[@]}" || fail "lintian reports errors or warnings"
echo "lintian: no errors, no warnings"

# The changelog's latest entry is this version.
pkg_version=$(dpkg-deb -f "$deb" Version)
entry=$(gzip -dc "$root/share/doc/lumora/changelog.gz" | sed -n 1p)
[[ $entry == "lumora ($pkg_version) "* ]] || fail "changelog starts with '$entry', not version $pkg_version"

# The packaged tool runs from the unpacked tree.
version=$("$root/bin/lumora-cli" --version)
[[ $version == "lumora-cli $pkg_version" ]] || fail "version text '$version', not the package's $pkg_version"
echo "version: $version"

# ...and reads the packaged simulator, with a private settings store.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work
# The simulator prints its terminal's path once the link is in place: wait
# for that line (bounded), not for the file.
mkfifo "$work/sim.out"
"$root/bin/lumora-sim" --link "$work/ttyLUMORA" >"$work/sim.out" 2>"$work/sim.log" &
sim_pid=$!
exec 3<"$work/sim.out"
read -r -t 10 -u 3 tty || { cat "$work/sim.log" >&2; fail "the simulator printed no terminal"; }
echo "simulator: $tty"
[[ -e $work/ttyLUMORA ]] || fail "the simulator made no link"
info=$("$root/bin/lumora-cli" --port "$work/ttyLUMORA" info) || fail "info failed"
echo "$info"
expected='Type:                 6 EDFA(Single)
S/N:                  0612345678
MAC ADDR:             0008086cb26e
HW version:           2.0
FW version:           3.1
Firmware update time: 2024-05-17 10:30
DHCP Enable:          off
Local IP:             192.168.1.100
Server IP:            192.168.1.1
Gateway IP:           192.168.1.254
Subnet mask:          255.255.255.0'
[[ $info == "$expected" ]] || fail "info does not show the simulated unit: $(diff <(echo "$expected") <(echo "$info"))"
echo "package test: ok"
