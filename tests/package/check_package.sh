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
  /usr/share/doc/grainlink/copyright /usr/share/doc/grainlink/changelog.gz \
  /etc/logrotate.d/grainlink; do
  grep -qxF "$file" "$scratch/contents" || fail "$file is not in the package"
done

dpkg-deb -e "$deb" "$scratch/control"
for conffile in /etc/grainlink/GRAINLINK.INI /etc/logrotate.d/grainlink; do
  grep -qxF "$conffile" "$scratch/control/conffiles" || fail "$conffile is not a conffile"
done
field() { dpkg-deb -f "$deb" "$1"; }
case "$(field Depends)" in *libqt6core6*libqt6serialport6*) ;; *) fail "Depends lacks the Qt libraries: $(field Depends)" ;; esac
case "$(field Depends)" in *adduser*) ;; *) fail "Depends lacks adduser" ;; esac
case "$(field Depends)" in *libjs-dygraphs*) ;; *) fail "Depends lacks libjs-dygraphs" ;; esac
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
# The broker password reaches each server as a credential from a root-only file of its own.
for unit in grainlink.service:/etc/grainlink/mqtt-password \
  'grainlink@.service:/etc/grainlink/%i/mqtt-password'; do
  name=${unit%%:*} file=${unit#*:}
  grep -qxF "LoadCredential=mqtt-password:$file" "$root/usr/lib/systemd/system/$name" ||
    fail "$name does not load the password credential from $file"
done
"$root/usr/bin/grainlink" --version | grep -qF "$version" || fail "the packaged program does not run"
# Every option the program lists is in its manual page (written there as \-\-name).
for option in $("$root/usr/bin/grainlink" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
  zcat "$root/usr/share/man/man1/grainlink.1.gz" | grep -qF -- "${option//-/\\-}" ||
    fail "grainlink(1) lacks $option"
done

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

# The rotation policy, run for real on a copy whose paths lead into the scratch directory and
# whose files belong to whoever runs the test, after the defaults of Debian's logrotate.conf
# (which create an empty file in place of the rotated one): twice forced, as two rotations.
if command -v logrotate >/dev/null; then
  lib=$scratch/lib
  mkdir -p "$lib/hall2"
  { printf 'weekly\nrotate 4\ncreate\n'
    sed -e "s|/var/lib/grainlink|$lib|g" -e "s|^\( *su \).*|\1$(id -un) $(id -gn)|" \
      "$root/etc/logrotate.d/grainlink"; } >"$scratch/logrotate.conf"
  for round in 1 2; do
    for file in RawData1.txt Data1.log events.log hall2/Data2.log GRAINLINK.INI; do
      echo "line $round" >"$lib/$file"
    done
    out=$(logrotate -s "$scratch/logrotate.state" -f "$scratch/logrotate.conf" 2>&1) ||
      fail "logrotate: $out"
  done
  for file in RawData1.txt Data1.log events.log hall2/Data2.log; do
    [ ! -e "$lib/$file" ] || fail "logrotate left $file in place (the server recreates it)"
    [ "$(cat "$lib/$file.1" 2>/dev/null)" = "line 2" ] || fail "logrotate: no $file.1"
    [ "$(zcat "$lib/$file.2.gz" 2>/dev/null)" = "line 1" ] || fail "logrotate: no $file.2.gz"
  done
  [ ! -e "$lib/GRAINLINK.INI.1" ] || fail "logrotate rotated a file that is not the server's"
else
  echo "logrotate is not installed: not run"
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
