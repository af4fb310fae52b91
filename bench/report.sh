#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Prints one table of measurements, each against its floor, taken side by side
# in this run on this machine. `make bench` builds what it needs and runs it.
# usage: report.sh BUILD...   (build folders' names under build/)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/proc.sh
source scripts/proc.sh
host=build/host

row() { printf '| %s | %s | %s | %s | %s |\n' "$@"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "-"; else printf "%.3f", a / b }'; }
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# A benchmark program's "ratio:" lines: subject, its median, floor, its median, ratio.
benchmark_rows() {
  local program=$1 goal=$2
  [ -x "$program" ] || return 0
  "$program" 2>/dev/null | awk -v goal="$goal" '/^ratio:/ {
    printf "| %s against %s, ns | %s | %s | %s | <= %s |\n", $2, $6, $3, $7, $10, goal }'
}

# The stripped static greeter against the smallest static C hello the same
# toolchain makes.
size_row() {
  local name=$1 target_strip dir a b
  # shellcheck source=/dev/null
  source "build/$name/target.env"
  dir=$(mktemp -d)
  "$target_strip" -o "$dir/greeter" "build/$name/greeter/greeter"
  "$target_strip" -o "$dir/c_hello" "build/$name/bench/size/c_hello"
  a=$(stat -c %s "$dir/greeter") b=$(stat -c %s "$dir/c_hello")
  rm -rf "$dir"
  row "greeter stripped size, bytes, $name (floor: smallest static C printf hello)" "$a" "$b" "$(ratio "$a" "$b")" "<= 1.01"
}

# Start-to-exit wall time, runs of the two programs interleaved; medians.
start_time_row() {
  local runs=300 g=() c=() t0 t1 i a b
  for ((i = 0; i < runs; i++)); do
    t0=$EPOCHREALTIME; "$host/greeter/greeter" >/dev/null; t1=$EPOCHREALTIME; g+=("$t0 $t1")
    t0=$EPOCHREALTIME; "$host/bench/size/c_hello" >/dev/null; t1=$EPOCHREALTIME; c+=("$t0 $t1")
  done
  a=$(printf '%s\n' "${g[@]}" | awk '{ printf "%.0f\n", ($2 - $1) * 1e6 }' | median)
  b=$(printf '%s\n' "${c[@]}" | awk '{ printf "%.0f\n", ($2 - $1) * 1e6 }' | median)
  row "greeter start to exit, µs, host, median of $runs (floor: static C printf hello)" "$a" "$b" "$(ratio "$a" "$b")" "-"
}

rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
cpu_ticks() { local utime stime; read -r utime stime <<<"$(stat_fields "$1" 14 15)"; echo $((utime + stime)); }

batch_idler_rows() {
  local idler floor ticks0 ticks1 a b
  "$host/batch_idler/batch_idler" </dev/null &
  idler=$!
  chrt -b 0 nice -n 19 sleep infinity &
  floor=$!
  sleep 0.5
  ticks0=$(cpu_ticks "$idler")
  sleep 2
  ticks1=$(cpu_ticks "$idler")
  row "batch_idler CPU ticks ($(getconf CLK_TCK)/s) in 2 s at end of input" "$((ticks1 - ticks0))" "0" "-" "0"
  a=$(rss_kib "$idler") b=$(rss_kib "$floor")
  row "batch_idler resident memory, KiB, host (floor: chrt -b 0 nice -n 19 sleep infinity)" "$a" "$b" "$(ratio "$a" "$b")" "-"
  kill "$idler" "$floor"
  wait "$idler" "$floor" 2>/dev/null || true
}

echo "Measured $(date -u +%Y-%m-%d) on $(nproc) x $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), Linux $(uname -r)"
echo
row measure subject floor ratio goal
row --- --- --- --- ---
benchmark_rows "$host/bench/wchan_bench" 1.10
benchmark_rows "$host/bench/namespaces_bench" 1.10
for name in "$@"; do
  [ -x "build/$name/bench/size/c_hello" ] && size_row "$name"
done
start_time_row
batch_idler_rows
