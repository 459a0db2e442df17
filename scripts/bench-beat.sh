#!/usr/bin/env bash
# The beat benchmark: how exactly the master keeps its half-second polls, and what the
# programs cost while nothing happens. Builds first, then runs scripts/bench_beat.py
# inside a private network namespace when it can make one (as root). Examples:
#   scripts/bench-beat.sh --seconds 60                 polls on a quiet machine
#   scripts/bench-beat.sh --seconds 60 --stress 8      with stress-ng keeping 8 cores busy
#   scripts/bench-beat.sh --idle 600 --display xvfb    idle CPU of a master and 4 slaves
# Options: --seconds S, --stress N, --display offscreen|xvfb, --log-level 1-3,
# --idle S (root only), --settle S, --p99 MS and --max MS (the limits of a pass).
exec "$(dirname "$0")/bench-in-netns.sh" bench_beat.py "$@"
