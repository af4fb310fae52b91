#!/usr/bin/env bash
# Shows the installed deliverables of each target working: arm64 ones under qemu-user.
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

for target in "$@"; do
  dist=dist/$target
  case $target in
    host) run="" ;;
    *) run="qemu-aarch64" ;;
  esac
  echo "== $target${run:+ (under $run)}: $dist"
  if [ "$target" = android-arm64 ] && ! $run "$dist/bin/greeter" >/dev/null 2>&1; then
    file "$dist"/bin/*
    continue
  fi
  show_batch_idler "$dist" "$run"
done
