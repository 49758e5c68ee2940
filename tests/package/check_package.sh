#!/usr/bin/env bash
# Builds the Debian package from the build tree into a scratch directory and checks it: the files
# an installation needs, the control data, the maintainer scripts' idempotence, then lintian and
# systemd-analyze when they are installed. Exits 77 (skipped) without dpkg-deb.
# Usage: check_package.sh BUILD_DIR CPACK
set -euo pipefail
build=$1
cpack=$2

command -v dpkg-deb >/dev/null || { echo "dpkg-deb is not installed: skipped"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" ||
  { cat "$scratch/cpack.log"; exit 1; }
deb=$(echo "$scratch"/out/grainlink_*.deb)
[ -f "$deb" ] || { cat "$scratch/cpack.log"; echo "FAIL: no package"; exit 1; }
echo "package: $(basename "$deb")"

dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' >"$scratch/contents"
for file in /usr/bin/grainlink /usr/bin/grainlink-sim \
  /usr/lib/systemd/system/grainlink.service /usr/lib/systemd/system/grainlink@.service \
  /etc/grainlink/GRAINLINK.INI /usr/share/applications/grainlink.desktop \
  /usr/share/icons/hicolor/scalable/apps/grainlink.svg /usr/share/man/man1/grainlink.1.gz \
  /usr/share/man/man1/grainlink-sim.1.gz /usr/share/grainlink/Splash.bmp \
  /usr/share/doc/grainlink/copyright /usr/share/doc/grainlink/changelog.gz; do
  grep -qxF "$file" "$scratch/contents" || fail "$file is not in the package"
done

dpkg-deb -e "$deb" "$scratch/control"
grep -qxF /etc/grainlink/GRAINLINK.INI "$scratch/control/conffiles" ||
  fail "GRAINLINK.INI is not a conffile"
field() { dpkg-deb -f "$deb" "$1"; }
case "$(field Depends)" in *libqt6core6*libqt6serialport6*) ;; *) fail "Depends lacks the Qt libraries: $(field Depends)" ;; esac
case "$(field Depends)" in *adduser*) ;; *) fail "Depends lacks adduser" ;; esac
case "$(field Suggests)" in *mosquitto*) ;; *) fail "Suggests lacks mosquitto" ;; esac

root=$scratch/root
dpkg-deb -x "$deb" "$root"
version=$(field Version)
zcat "$root/usr/share/doc/grainlink/changelog.gz" | sed -n 1p | grep -qF "grainlink ($version)" ||
  fail "the changelog's latest entry is not version $version"
# What the unit and the desktop entry start must be what the package installs.
program=$(sed -n 's/^ExecStart=\([^ ]*\).*/\1/p' "$root/usr/lib/systemd/system/grainlink.service")
[ -x "$root$program" ] || fail "ExecStart $program is not in the package"
grep -qx 'Exec=grainlink' "$root/usr/share/applications/grainlink.desktop" || fail "desktop Exec"
"$root/usr/bin/grainlink" --version | grep -qF "$version" || fail "the packaged program does not run"

# The maintainer scripts run against stand-ins that record what they are asked; a second
# configure (a reinstall) must not create the user nor set the file's owner again.
stubs=$scratch/stubs
mkdir "$stubs"
for tool in getent adduser dpkg-statoverride install deb-systemd-helper deb-systemd-invoke systemctl; do
  cat >"$stubs/$tool" <<STUB
#!/bin/sh
echo "$tool \$*" >>"$scratch/calls"
case "$tool \$1" in
  "getent passwd") [ -e "$scratch/user" ] ;;
  "adduser --quiet") [ "\$2" != --system ] || touch "$scratch/user" ;;
  "dpkg-statoverride --list") [ -e "$scratch/override" ] ;;
  "dpkg-statoverride --update") touch "$scratch/override" ;;
  "dpkg-statoverride --remove") rm "$scratch/override" ;;
esac
STUB
  chmod +x "$stubs/$tool"
done
run() { PATH="$stubs:$PATH" sh "$scratch/control/$1" "${@:2}" || fail "$1 $* failed"; }
run postinst configure ""
grep -q '^adduser --quiet --system --group .* grainlink$' "$scratch/calls" || fail "no user created"
grep -q '^adduser --quiet grainlink dialout$' "$scratch/calls" || fail "user not in dialout"
grep -qF 'dpkg-statoverride --update --add root grainlink 0640 /etc/grainlink/GRAINLINK.INI' \
  "$scratch/calls" || fail "GRAINLINK.INI not made readable by the service"
: >"$scratch/calls"
run postinst configure 2.0
grep -E '^(adduser|dpkg-statoverride --update)' "$scratch/calls" && fail "a reinstall changed users or modes"
run postrm purge
[ ! -e "$scratch/override" ] || fail "purge left the statoverride"

if command -v lintian >/dev/null; then
  lintian --allow-root --fail-on error "$deb" || fail "lintian reports errors"
else
  echo "lintian is not installed: not run"
fi

# systemd-analyze verify needs a working systemd; a unit known to be good tells whether it has one.
# The units are checked with the program and the manual page of the unpacked package.
if command -v systemd-analyze >/dev/null; then
  printf '[Service]\nExecStart=/bin/true\n' >"$scratch/probe.service"
  if probe=$(systemd-analyze verify "$scratch/probe.service" 2>&1); then
    mkdir "$scratch/units"
    for unit in grainlink.service grainlink@.service; do
      checked=$scratch/units/${unit/@/@check}
      sed "s|^ExecStart=/|ExecStart=$root/|" "$root/usr/lib/systemd/system/$unit" >"$checked"
      out=$(MANPATH=$root/usr/share/man systemd-analyze verify "$checked" 2>&1) || true
      [ -z "$out" ] || fail "systemd-analyze verify $unit: $out"
    done
  else
    echo "systemd-analyze verify is not usable here: not run ($probe)"
  fi
else
  echo "systemd-analyze is not installed: not run"
fi

[ "$failures" -eq 0 ] || exit 1
echo "package checked"
