#!/usr/bin/env bash
# Installs what is missing, builds, and runs a master and a slave on this machine,
# both in simulation (-InhibitShutdown: no power action is ever carried out).
# Stop with Ctrl-C; then try again without the master to watch the slave count down.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"

demo="$root/build/demo"
rm -rf "$demo"
mkdir -p "$demo/master" "$demo/slave"
cp -r "$root/data/master/." "$demo/master/"
cp -r "$root/data/slave/." "$demo/slave/"

# The master watches one slave, "Slave", on this machine; both log every second.
sed -i -e 's/^LogLevel=2\r$/LogLevel=3\r/' -e 's/^DName=1\r$/DName=2\r/' \
       -e 's/^CName0=\r$/CName0=Master\r/' -e 's/^CName1=\r$/CName1=Slave\r/' \
       -e 's/^IPAdd1=\r$/IPAdd1=localhost\r/' "$demo/master/Data/TolvexM.ini"
sed -i -e 's/^LogLevel=2\r$/LogLevel=3\r/' -e 's/^DName=1\r$/DName=2\r/' \
       -e 's/^IPAdd=\r$/IPAdd=localhost\r/' "$demo/slave/Data/TolvexS.ini"

# Without a screen both run headless; their message boxes are printed instead.
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  export QT_QPA_PLATFORM=offscreen
fi

pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; }
trap cleanup EXIT INT TERM

(cd "$demo/master" && exec "$root/build/monitor/TolvexMu" -InhibitShutdown) & pids+=($!)
sleep 1
if [ -x "$root/build/slave/TolvexSu" ]; then
  (cd "$demo/slave" && exec "$root/build/slave/TolvexSu" -InhibitShutdown -AllowMulti) & pids+=($!)
fi

echo "Master log: $demo/master/Log/TolvexM.log"
echo "Slave log:  $demo/slave/Log/TolvexS.log"
echo "Watch them with: tail -f $demo/master/Log/TolvexM.log $demo/slave/Log/TolvexS.log"
wait
