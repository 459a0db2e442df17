#!/usr/bin/env bash
# Runs a benchmark script (scripts/bench_*.py, given first) after building: as root in a
# private network namespace of its own, so that the ports it uses and the programs'
# single-instance lock are its own; otherwise as it is.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
script="$root/scripts/$1"
shift
"$root/scripts/build.sh" >/dev/null
if [ "$(id -u)" = 0 ] && [ -z "${TOLVEX_BENCH_NETNS:-}" ] && command -v unshare >/dev/null; then
  exec unshare -n env TOLVEX_BENCH_NETNS=1 bash -c 'ip link set lo up && exec python3 "$0" "$@"' "$script" "$@"
fi
exec python3 "$script" "$@"
