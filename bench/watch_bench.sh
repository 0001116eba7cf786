#!/usr/bin/env bash
# Runs the watch-list benchmark (bench/watch_bench.cpp) inside the network test
# bed. Root only. Usage: bench/watch_bench.sh [build dir] [benchmark options]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build/default}
shift || true
if [ "$(id -u)" -ne 0 ]; then
  echo "watch_bench: needs root (the test bed's namespaces)" >&2
  exit 77
fi
command -v fping >/dev/null || { echo "watch_bench: fping missing (apt-get install fping)" >&2; exit 1; }
[ -e /run/netns/cvclient ] || "$root/tools/netbed" up
exec "$root/tools/in-netns" "$build/bench/watch_bench" "$@"
