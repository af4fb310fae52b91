#!/usr/bin/env bash
# Prints one table of measurements, each against its floor, taken side by side
# in this run on this machine. Run by `make bench` after the host build.
set -euo pipefail
cd "$(dirname "$0")/.."
host=build/host

row() { printf '| %s | %s | %s | %s | %s |\n' "$@"; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b == 0) print "-"; else printf "%.3f", a / b }'; }

# Resident set size in KiB, read once the process has settled.
rss_kib() { awk '/^VmRSS:/ { print $2 }' "/proc/$1/status"; }
cpu_ticks() { local s; s=$(cat "/proc/$1/stat"); read -r -a f <<<"${s##*) }"; echo $((f[11] + f[12])); }

batch_idler_rows() {
  local idler floor ticks0 ticks1
  "$host/batch_idler/batch_idler" </dev/null &
  idler=$!
  chrt -b 0 nice -n 19 sleep infinity &
  floor=$!
  sleep 0.5
  ticks0=$(cpu_ticks "$idler")
  sleep 2
  ticks1=$(cpu_ticks "$idler")
  row "batch_idler CPU ticks in 2 s at end of input" "$((ticks1 - ticks0))" "0" "-" "0 ticks"
  local a b
  a=$(rss_kib "$idler") b=$(rss_kib "$floor")
  row "batch_idler resident memory, KiB (floor: chrt -b 0 nice -n 19 sleep infinity)" "$a" "$b" "$(ratio "$a" "$b")" "-"
  kill "$idler" "$floor"
  wait "$idler" "$floor" 2>/dev/null || true
}

echo "Measured $(date -u +%Y-%m-%d) on $(nproc) x $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), Linux $(uname -r)"
echo
row measure subject floor ratio goal
row --- --- --- --- ---
batch_idler_rows
