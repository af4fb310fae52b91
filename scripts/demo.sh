#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Shows the installed deliverables of each target working, under the
# emulator its build names where it is not the host's kind.
# usage: demo.sh TARGET...
set -euo pipefail
cd "$(dirname "$0")/.."

policy_name() {
  case $1 in 0) echo SCHED_OTHER ;; 3) echo SCHED_BATCH ;; 5) echo SCHED_IDLE ;; *) echo "policy $1" ;; esac
}

# Field 19 of /proc/<pid>/stat is the nice value, field 41 the scheduling policy.
stat_fields() {
  local stat
  stat=$(cat "/proc/$1/stat") || return 1
  read -r -a f <<<"${stat##*) }"
  echo "${f[16]} ${f[38]}"
}

show_batch_idler() {
  local dist=$1 run=$2 pid nice policy status=0
  $run "$dist/bin/batch_idler" </dev/null &
  pid=$!
  for _ in $(seq 100); do
    read -r nice policy <<<"$(stat_fields "$pid")"
    [ "$policy" = 3 ] && break
    sleep 0.05
  done
  echo "batch_idler: pid $pid runs in $(policy_name "$policy") at nice $nice, input at end of file"
  kill -TERM "$pid"
  wait "$pid" 2>/dev/null || status=$?
  echo "batch_idler: ended by signal $((status - 128)) (SIG$(kill -l $((status - 128))))"
}

show_greeter() {
  local dist=$1 run=$2 out err status=0
  out=$(mktemp) err=$(mktemp)
  $run "$dist/bin/greeter" any arguments >"$out" || status=$?
  printf 'greeter: wrote "%s" (%d bytes), exit status %d\n' \
    "$(sed -z 's/\n/\\n/g' "$out")" "$(wc -c <"$out")" "$status"
  status=0
  $run "$dist/bin/greeter" >/dev/full 2>"$err" || status=$?
  echo "greeter >/dev/full: exit status $status, reported: $(cat "$err")"
  # bionic opens /dev/null on a standard descriptor closed at start; glibc does not.
  status=0
  $run "$dist/bin/greeter" >&- 2>"$err" || status=$?
  echo "greeter >&-: exit status $status, reported: $(cat "$err")"
  rm -f "$out" "$err"
}

# Builds an example caller against the installed tree, as a user would, with
# the compiler and flags the target's build names, and sets program to it.
build_example() {
  local target=$1 dist=$2 name=$3 object=$4 command
  program=build/$target/$name
  # shellcheck disable=SC2206 # the flags are words
  command=("$target_cc" $target_cflags -I "$dist/include" "examples/$name.c" "$dist/lib/$object" $target_ldflags)
  [[ " $target_ldflags " == *" -static "* ]] || command+=(-static)
  echo "$name: $(basename "$target_cc") ${command[*]:1}"
  "${command[@]}" -o "$program"
}

# The example caller reads a running process's namespace identifiers; the
# kernel's link texts under /proc/<pid>/ns show the same numbers.
show_namespace_ids() {
  local target=$1 dist=$2 run=$3 program pid kind ids links="" status=0
  build_example "$target" "$dist" namespace_ids namespaces.o
  sleep 60 &
  pid=$!
  ids=$($run "$program" "$pid") || status=$?
  echo "namespace_ids $pid (a running sleep): $(cut -d' ' -f2- <<<"$ids" | paste -sd' ')"
  # The kinds as the program names them, on lines "<pid> <kind> <identifier>".
  while read -r _ kind _ && [ -n "$kind" ]; do
    links+=" $(readlink "/proc/$pid/ns/$kind")"
  done <<<"$ids"
  echo "  the kernel's links:$links"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  return "$status"
}

# The example host asks for the wait channel of a sleeping process.
show_wchan() {
  local target=$1 dist=$2 run=$3 program pid
  build_example "$target" "$dist" print_wchan wchan.o
  sleep 30 &
  pid=$!
  # Asleep and off the run queue: until then the kernel gives 0, not a name.
  for _ in $(seq 100); do
    [ "$(cat "/proc/$pid/comm")" = sleep ] && [ "$(cat "/proc/$pid/wchan")" != 0 ] && break
    sleep 0.05
  done
  echo "print_wchan $pid (sleep 30) prints: $($run "$program" "$pid")"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

for target in "$@"; do
  dist=dist/$target
  # target_cc, target_cflags, target_ldflags and target_run (the emulator, if any)
  # shellcheck source=/dev/null
  source "build/$target/target.env"
  run=$target_run
  echo "== $target${run:+ (under $(basename "${run%% *}"))}: $dist"
  show_greeter "$dist" "$run"
  show_namespace_ids "$target" "$dist" "$run"
  show_batch_idler "$dist" "$run"
  show_wchan "$target" "$dist" "$run"
done
