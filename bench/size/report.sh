#!/usr/bin/env bash
# Prints the stripped size of a program against the stripped C baseline.
# usage: report.sh STRIP TARGET PROGRAM BASELINE
set -euo pipefail
strip=$1 target=$2 program=$3 baseline=$4
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$strip" -o "$dir/program" "$program"
"$strip" -o "$dir/baseline" "$baseline"
a=$(stat -c %s "$dir/program") b=$(stat -c %s "$dir/baseline")
awk -v n="$(basename "$program")" -v m="$(basename "$baseline")" -v t="$target" -v a="$a" -v b="$b" \
  'BEGIN { printf "size %s / %s (%s, stripped) = %.4f (%d / %d bytes)\n", n, m, t, a / b, a, b }'
