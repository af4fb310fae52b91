#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Shows the installed deliverables of each build working, under the emulator
# its build names where it is not the host's kind, with the example callers
# its build made (those the tests run).
# usage: demo.sh BUILD...   (build folders' names under build/)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/proc.sh
source scripts/proc.sh

policy_name() {
  case $1 in 0) echo SCHED_OTHER ;; 3) echo SCHED_BATCH ;; 5) echo SCHED_IDLE ;; *) echo "policy $1" ;; esac
}

show_batch_idler() {
  local dist=$1 run=$2 pid nice policy status=0
  $run "$dist/bin/batch_idler" </dev/null &
  pid=$!
  for _ in $(seq 100); do
    read -r nice policy <<<"$(stat_fields "$pid" 19 41)"
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

# The example caller reads a running process's namespace identifiers; the
# kernel's link texts under /proc/<pid>/ns show the same numbers.
show_namespace_ids() {
  local program=$1/examples/namespace_ids run=$2 pid kind ids links="" status=0
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
  local program=$1/examples/print_wchan run=$2 pid
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

for name in "$@"; do
  build=build/$name
  # target_prefix (where it installs), target_run (the emulator, if any),
  # target_cannot_run (why its programs cannot run here, if so) and
  # target_android_ndk (the NDK's release, when built with one)
  # shellcheck source=/dev/null
  source "$build/target.env"
  dist=${target_prefix#"$PWD/"} run=$target_run
  echo "== $name${target_android_ndk:+ (Android NDK $target_android_ndk)}${run:+ (under $(basename "${run%% *}"))}: $dist"
  if [ -n "$target_cannot_run" ]; then
    echo "built and installed; not shown: $target_cannot_run"
    continue
  fi
  show_greeter "$dist" "$run"
  show_namespace_ids "$build" "$run"
  show_batch_idler "$dist" "$run"
  show_wchan "$build" "$run"
done
