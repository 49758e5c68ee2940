#!/usr/bin/env bash
# Makes the README's screenshots (docs/screenshots/*.png) from a real run: the server on its own
# virtual display with a window manager, four simulated instruments on pseudo-terminals, a
# private mosquitto broker on a free port and a generated GRAINLINK.INI; the windows are opened
# through the menus with key presses, as a user would, and each is captured with its title bar;
# the web page is captured by headless chromium (scripts/page_screenshot.py). Last, one
# instrument is stopped, so that the overview shows a unit in trouble.
# It takes about two minutes, most of it waiting for the histories to fill.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/setup.sh --screenshots
cmake -G Ninja -B build -S . -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target grainlink grainlink_splash_bmp grainlink-sim

# A short working directory: its paths show in the dialogs. The pictures replace those in
# docs/screenshots only once all of them are made.
work=$(mktemp -d /tmp/grainlink.XXXXXX)
shots=$work/shots
mkdir -p "$work/config" "$work/logs" "$work/run" "$shots"
chmod 700 "$work/run"
pids=()
cleanup() {
  trap - EXIT INT TERM
  local i pid
  # Newest first: the server before the broker, the window manager before the display.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    pid=${pids[i]}
    kill "$pid" 2>/dev/null && for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  done
  wait 2>/dev/null || true
  if [ "${finished:-0}" = 1 ]; then rm -rf "$work"; else echo "Logs kept in $work" >&2; fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM  # through the EXIT trap, and no further
fail() {
  echo "screenshots: $*" >&2
  exit 1
}

units=4
buffer_size=15
interval=4.5
names=("Intake pit" "Dryer outlet" "Silo 3 top" "Mill feed")
operator_password=grain7

# --- The display, a light window manager and a plain backdrop. ---
Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp >"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start (see $work/xvfb.log)"
export DISPLAY=:$(head -n1 "$work/display")
export XDG_RUNTIME_DIR=$work/run LANG=C.UTF-8 LC_ALL=C.UTF-8
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' && break; sleep 0.1; done
display -window root -size 8x8 xc:'#56748c' >/dev/null 2>&1 || true  # sets it, then complains

# --- The broker on a free port, the instruments, the configuration. ---
mqtt_port=
for port in $(seq 18830 18930); do
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then mqtt_port=$port; break; fi
done
[ -n "$mqtt_port" ] || fail "no free port for the broker"
web_port=
for port in $(seq 18080 18180); do
  if ! (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; then web_port=$port; break; fi
done
[ -n "$web_port" ] || fail "no free port for the web page"
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\nlog_dest none\n' \
  "$mqtt_port" >"$work/mosquitto.conf"
mosquitto -c "$work/mosquitto.conf" &
pids+=($!)

sims=()  # the simulators' process ids, by unit from 0
start_sim() {
  "$root/build/tools/grainlink-sim" --unit "$1" --interval "$interval" --seed "$1" \
    --link "$work/unit$1" >/dev/null &
  pids+=($!)
  sims[$1 - 1]=$!
}
for unit in $(seq "$units"); do start_sim "$unit"; done
for unit in $(seq "$units"); do
  for _ in $(seq 50); do [ -e "$work/unit$unit" ] && break; sleep 0.1; done
  [ -e "$work/unit$unit" ] || fail "simulator $unit did not start"
done

# The stored password is each character's code plus 128.
scrambled() {
  local text=$1 i code
  for ((i = 0; i < ${#text}; i++)); do
    printf -v code '%d' "'${text:i:1}"
    printf "\\$(printf '%03o' $((code + 128)))"
  done
}
{
  for unit in $(seq "$units"); do
    printf '[Unit%d]\nEnable=1\nPort=%d\nName=%s\n' "$unit" "$unit" "${names[unit - 1]}"
  done
  printf '[Options]\nUnits=%d\nRawLog=1\nLog=1\nFile=%s\nBuffer_size=%d\n' \
    "$units" "$work/logs/Data.txt" "$buffer_size"
  printf 'SecEna=1\nSecStr=%s\n' "$(scrambled "$operator_password")"
  printf '[Settings]\nMessage time=30\n[Serial]\n'
  for unit in $(seq "$units"); do printf 'Port%d=%s\n' "$unit" "$work/unit$unit"; done
  printf '[MQTT]\nHost=127.0.0.1\nPort=%d\n' "$mqtt_port"
  printf '[HTTP]\nListen=127.0.0.1:%d\n' "$web_port"
} >"$work/config/GRAINLINK.INI"
export GRAINLINK_CONFIG_DIR=$work/config

# --- Driving the windows. ---
# The window titles carry the default product and instrument names ([Product_Info]).
title="VELMO QS2600 DDE Server"
hardware=QS2600

# The data log files hold a header line and a line a record.
fewest_records() {
  local unit lines fewest=
  for unit in $(seq "$units"); do
    lines=$(cat "$work/logs/Data$unit.txt" 2>/dev/null | wc -l)
    [ -z "$fewest" ] || [ "$lines" -lt "$fewest" ] && fewest=$lines
  done
  echo $((fewest > 0 ? fewest - 1 : 0))
}
wait_for_records() {
  for _ in $(seq 300); do
    [ "$(fewest_records)" -ge "$1" ] && return
    sleep 1
  done
  fail "fewer than $1 records from a unit (see $work/server.log)"
}

# The id of a shown window whose title matches (a regular expression), other than the ids given.
find_window() {
  local pattern=$1 id
  shift
  for _ in $(seq 100); do
    for id in $(xdotool search --onlyvisible --name "$pattern" 2>/dev/null); do
      [[ " $* " == *" $id "* ]] || { echo "$id"; return; }
    done
    sleep 0.1
  done
  fail "no window titled '$pattern'"
}
activate() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1"
  sleep 0.3
}
keys() {
  local key
  for key in "$@"; do
    xdotool key --clearmodifiers "$key"
    sleep 0.25
  done
}
# The window with its title bar and border, once it has painted.
shot() {
  sleep 0.8
  import -frame -window "$2" "$shots/$1.png"
  echo "  $1.png"
}

(cd "$work" && exec "$root/build/server/ui/grainlink" >"$work/server.log" 2>&1) &
pids+=($!)
server_pid=$!
echo "Screenshots:"
splash=$(find_window "^$title\$")
shot splash "$splash"
main=$(find_window "^$title\$" "$splash")

# Menus are reached from the keyboard: Alt selects the first item of a menu bar, enabled or not,
# and the arrows step through the items shown. With security on the main window's bar is Close,
# Security, Options, View, Help (Close and Options disabled until someone logs on).
# The service password is read from the program's source rather than written here.
service_password=$(sed -n 's/.*kServicePassword("\([^"]*\)").*/\1/p' config/access_levels.cpp)
[ -n "$service_password" ] || fail "service password not found in config/access_levels.cpp"
activate "$main"
keys alt Right Down Return  # Security / Log on
login=$(find_window '^Login$')
xdotool type --delay 60 "$service_password"
shot login "$login"
keys Return

# The charts want a full history: Buffer_size records from every unit.
echo "  (waiting for $buffer_size records from each unit)"
wait_for_records "$buffer_size"
shot main-window "$main"

# The web page as a browser shows it: wide in a light theme, then on a phone in a dark one.
page=http://127.0.0.1:$web_port/
python3 scripts/page_screenshot.py "$page" "$shots/web-page.png" || fail "no picture of $page"
echo "  web-page.png"
python3 scripts/page_screenshot.py "$page" "$shots/web-page-phone-dark.png" --width 390 --dark --phone ||
  fail "no phone picture of $page"
echo "  web-page-phone-dark.png"

activate "$main"
keys alt Left Return  # Help
about=$(find_window '^Help about$')
shot about "$about"
keys alt+s
sysinfo=$(find_window '^System Information$')
shot system-info "$sysinfo"
keys Escape
activate "$about"
keys Escape

# The options dialog reopens the ports when it closes, which clears each unit's last message
# time until the next record: it comes after the system information.
activate "$main"
keys alt Right Right Return  # Options
options=$(find_window '^Options$')
shot options "$options"
keys Tab Tab Tab space  # Set-up Com Ports
ports=$(find_window '^Com port set-up$')
shot port-setup "$ports"
keys Escape
activate "$options"
keys Escape  # the dialogs' title-bar close and Escape save nothing
wait_for_records $(($(fewest_records) + 1))  # values again after the reopening

activate "$main"
keys alt Right Right Right Down Right Return  # View / Raw Data / Unit 1
data=$(find_window "^$hardware Data \\(1\\)")
shot data-standard "$data"
keys alt Right Down Down Return  # Display / Advanced
shot data-advanced "$data"
keys alt Right Down Return  # Display / Standard

activate "$main"
keys alt Right Right Right Down Down Right Return  # View / Table / Graph / Unit 1
tip=$(find_window '^Tip of the Day$')
shot graph-tip "$tip"
keys space Return  # "Dont show again." is ticked, then OK
table=$(find_window "^$hardware ISO Code data \\(1\\)")
shot table-codes "$table"
keys alt Right Down Return  # View / Counts
shot table-counts "$table"
keys alt Right Down Down Down Return  # View / Diagnostics
shot table-diagnostics "$table"
keys alt Right Down Down Return  # View / Codes, as the window opens

# Every unit's table window, shown and tiled by View / Show All table / graphs on this 1280x1024
# screen (the graph tip is off since its box was ticked above). With the data windows as well,
# eight windows do not fit and are cascaded.
activate "$data"
keys alt+f a  # File / Close all
activate "$main"
keys alt+v g  # View / Show All table / graphs
sleep 1.5
import -window root "$shots/tiled.png"
echo "  tiled.png"

# The overview with one unit in trouble: unit 3's instrument goes away with its line, and comes
# back after the shot.
kill "${sims[2]}"
for _ in $(seq 100); do grep -q 'Unit 3.*Port lost' "$work/events.log" 2>/dev/null && break; sleep 0.1; done
grep -q 'Unit 3.*Port lost' "$work/events.log" || fail "unit 3's port was not reported lost"
activate "$main"
keys alt+v o  # View / Overview
overview=$(find_window '^Overview$')
shot overview "$overview"
start_sim 3

activate "$main"
keys alt Return  # Close
confirm=$(find_window '^Close program \?$')
shot close-confirmation "$confirm"
keys Escape

# The same server again under a dark system palette, set as a user would through qt6ct.
kill "$server_pid"
for _ in $(seq 100); do kill -0 "$server_pid" 2>/dev/null || break; sleep 0.1; done
# One still running would hold the lines and the web port, and its windows would pass for the new ones.
if kill -0 "$server_pid" 2>/dev/null; then
  fail "the first server was still running 10 s after SIGTERM (see $work/server.log)"
fi
mkdir -p "$work/xdg/qt6ct"
printf '[Appearance]\ncolor_scheme_path=/usr/share/qt6ct/colors/darker.conf\ncustom_palette=true\nstyle=Fusion\n' \
  >"$work/xdg/qt6ct/qt6ct.conf"
(cd "$work" && XDG_CONFIG_HOME=$work/xdg QT_QPA_PLATFORMTHEME=qt6ct \
  exec "$root/build/server/ui/grainlink" >"$work/server-dark.log" 2>&1) &
pids+=($!)
splash=$(find_window "^$title\$")
main=$(find_window "^$title\$" "$splash")
wait_for_records $(($(fewest_records) + 4))  # a few points on the new chart
activate "$main"
keys alt+v t 1  # View / Table / Graph / Unit 1
table=$(find_window "^$hardware ISO Code data \\(1\\)")
shot dark-table "$table"
activate "$main"
keys alt+v r 1  # View / Raw Data / Unit 1
data=$(find_window "^$hardware Data \\(1\\)")
shot dark-data "$data"

if command -v optipng >/dev/null; then optipng -quiet -o2 "$shots"/*.png; fi
out=$root/docs/screenshots
mkdir -p "$out"
rm -f "$out"/*.png
mv "$shots"/*.png "$out"/
finished=1
echo "Done: $(ls "$out"/*.png | wc -l) screenshots in $out, $(du -ch "$out"/*.png | tail -n1 | cut -f1)."
