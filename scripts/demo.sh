#!/usr/bin/env bash
# Runs GrainLink with two simulated instruments: each simulator sends records on its own
# pseudo-terminal, a local MQTT broker is started when none listens on localhost:1883, and the
# server serves both units, with its web page on the first free local port from 8080. Without a
# display the server runs headless and the published values are shown as they arrive. Ctrl+C
# stops everything.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

./scripts/setup.sh
cmake -G Ninja -B build -S . -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target grainlink grainlink_splash_bmp grainlink-sim

demo=$root/build/demo
mkdir -p "$demo/config"
pids=()
cleanup() {
  trap - EXIT INT TERM
  [ ${#pids[@]} -gt 0 ] && kill "${pids[@]}" 2>/dev/null
  wait 2>/dev/null || true
}
trap cleanup EXIT
trap 'exit 130' INT TERM  # through the EXIT trap, and no further

if ! (exec 3<>/dev/tcp/127.0.0.1/1883) 2>/dev/null; then
  printf 'listener 1883 127.0.0.1\nallow_anonymous true\npersistence false\nlog_dest none\n' > "$demo/mosquitto.conf"
  mosquitto -c "$demo/mosquitto.conf" &
  pids+=($!)
  sleep 0.5
fi

for unit in 1 2; do
  rm -f "$demo/unit$unit"
  "$root/build/tools/grainlink-sim" --unit "$unit" --interval 5 --seed "$unit" \
    --link "$demo/unit$unit" >/dev/null &
  pids+=($!)
done
for unit in 1 2; do
  for _ in $(seq 50); do [ -e "$demo/unit$unit" ] && break; sleep 0.1; done
done

web_port=8080
while (exec 3<>"/dev/tcp/127.0.0.1/$web_port") 2>/dev/null; do web_port=$((web_port + 1)); done

cat > "$demo/config/GRAINLINK.INI" <<INI
[Unit1]
Enable=1
Port=1
Name=Demo line A
[Unit2]
Enable=1
Port=2
Name=Demo line B
[Options]
Units=2
RawLog=1
[Settings]
Message time=30
[Serial]
Port1=$demo/unit1
Port2=$demo/unit2
[HTTP]
Listen=127.0.0.1:$web_port
INI
export GRAINLINK_CONFIG_DIR=$demo/config
cd "$demo"   # raw data files are written to the working directory

echo "Configuration: $GRAINLINK_CONFIG_DIR/GRAINLINK.INI; raw data files in $demo"
echo "Web page: http://127.0.0.1:$web_port/"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$root/build/server/ui/grainlink"
else
  mosquitto_sub -h localhost -v -t GRAINLINK/status -t 'GRAINLINK/+/Counts4um' \
    -t 'GRAINLINK/+/ISOCode4um' -t 'GRAINLINK/+/Temperature' -t 'GRAINLINK/+/status' &
  pids+=($!)
  "$root/build/server/ui/grainlink" --headless
fi
