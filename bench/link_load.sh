#!/usr/bin/env bash
# The link under load: N connects to ostra-plcsim on a pseudo-terminal while
# two busy loops hold the processors and the simulator runs at the lowest
# priority. Prints how many failed. Not a test: it measures a machine.
#   bench/link_load.sh [BUILD_DIR] [N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/ci}
n=${2:-150}
cli="$build/src/cli/ostra-plc-cli"
plcsim="$build/src/sim/ostra-plcsim"
work=$(mktemp -d)
pids=()
cleanup() { kill "${pids[@]}" 2>/dev/null || true; rm -rf "$work"; }
trap cleanup EXIT
cp -r examples/TankPlant "$work/"
nice -n 19 "$plcsim" > "$work/device" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/device" ] && break; sleep 0.1; done
dev=$(head -1 "$work/device")
for _ in 1 2; do (while :; do :; done) & pids+=($!); done
failed=0
start=$(date +%s.%N)
for i in $(seq "$n"); do
  if ! "$cli" connect "$work/TankPlant" --device "$dev" --library-dir examples >"$work/out" 2>&1; then
    failed=$((failed + 1))
    echo "connect $i failed: $(tr '\n' ' ' < "$work/out")"
  fi
done
end=$(date +%s.%N)
echo "failures: $failed of $n connects under load, $(echo "$end - $start" | bc) s"
