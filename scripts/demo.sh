#!/usr/bin/env bash
# The main job against the bundled pedal simulator: starts kt9-sim on a
# pseudo-terminal and talks to it with kt9, saying what it does.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/packages.sh"
bash "$root/scripts/ensure-packages.sh" "${BUILD_PACKAGES[@]}"
bash "$root/scripts/build.sh" -DKT9_BUILD_TESTS=OFF -DKT9_BUILD_BENCHMARKS=OFF
bin=${KT9_BUILD_DIR:-$root/build}/bin
work=$(mktemp -d)
sim_pid=""
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null && wait "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

stop_sim() {
  if [ -n "$sim_pid" ]; then
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
    sim_pid=""
  fi
}

# Starts a fresh simulator (stopping the one before) and points kt9 at it.
start_sim() {
  stop_sim
  "$bin/kt9-sim" "$@" >"$work/sim.out" &
  sim_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.05
  done
  export KT9_PORT=$(head -n 1 "$work/sim.out")
}

echo "== Starting the pedal simulator (firmware 0x0105, extended layout)"
start_sim --memory "$work/pedal.bin"
echo "   pedal on $KT9_PORT"
echo "== kt9 info: the firmware version word and the record layout it selects"
"$bin/kt9" info
echo "== kt9 info against an older pedal (firmware 0x0104, legacy layout)"
start_sim --version-word 0x0104
"$bin/kt9" info
start_sim --memory "$work/pedal.bin"
