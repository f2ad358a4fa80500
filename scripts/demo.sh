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

# Backup and restore against the pedal with its memory in $work/pedal.bin.
echo "== kt9 backup: the system settings and all 99 patches into a KT-9 Backup file"
"$bin/kt9" backup "$work/pedal.kt9"
echo "== kt9 show: what the backup file holds (its first lines)"
"$bin/kt9" show "$work/pedal.kt9" | sed -n '1,32p'
echo "   ... one line for each of the $(grep -c '<PATCH>' "$work/pedal.kt9") patches"
echo "== kt9 restore: the backup file written back into the pedal"
"$bin/kt9" restore "$work/pedal.kt9"

# The firmware update comes last: a second simulator, started in programming
# mode, takes the bundled demo firmware.
echo "== Firmware update: a simulated pedal in programming mode ('A' held down at power-on)"
start_sim --bootloader --flash "$work/flash.bin" --log "$work/boot.log"
echo "   bootloader on $KT9_PORT"
echo "== kt9 boot-info: the status the Update Firmware page shows after Verify"
"$bin/kt9" boot-info
echo "== kt9 update \"KT-9 V2.4.hex\" --restart: erase, write, vector area written and read back, VerifyOK, restart"
"$bin/kt9" update "$bin/KT-9 V2.4.hex" --restart
echo "   the bootloader took $(grep -c '^write' "$work/boot.log") block writes, $(grep -c '^read' "$work/boot.log") block reads, $(grep -c '^erase' "$work/boot.log") erases, then: $(tail -n 2 "$work/boot.log" | tr '\n' ' ')"
echo "== kt9 info: after the restart the pedal answers in normal mode again"
"$bin/kt9" info
stop_sim
