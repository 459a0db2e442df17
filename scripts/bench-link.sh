#!/usr/bin/env bash
# The link benchmark: a real master and a real slave on 127.0.0.1 in simulation, one
# receive port flooded. Builds first, then runs scripts/bench_link.py inside a private
# network namespace when it can make one (as root), so that the fixed ports it uses
# are its own. Examples:
#   scripts/bench-link.sh --target slave --kind mixed --rate 100000 --seconds 60 --runs 10
#   scripts/bench-link.sh --target master --kind random
#   scripts/bench-link.sh --target slave --kind polls --rate 0 --seconds 2 --bursts 50
# Options: --target master|slave, --kind random|wrong|mixed|polls, --rate N (0: as fast
# as possible), --seconds S, --runs N, --bursts N (one pair of programs, N floods).
exec "$(dirname "$0")/bench-in-netns.sh" bench_link.py "$@"
