#!/system/bin/sh
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Checks what this device's kernel and C library do with the programs that
# install.sh laid out (by default in bin/ beside this script), from outside,
# as the project's tests do:
#   sh selftest.sh [FOLDER]
# One line per check, "pass:" or "FAIL:"; what pid 1 shows is reported
# ("pid 1:"), not judged, since it depends on who asks: an app sees no other
# user's processes (/proc hidepid=2), the shell user sees them but may not
# read their wait channels or namespaces. The last line is "N passed,
# M failed", and the status is 0 when none failed. Android's own shell and
# toybox commands are all it needs.
set -euo pipefail
bin=${1:-$(cd "$(dirname "$0")" && pwd)/bin}
[ -x "$bin/greeter" ] || { echo "selftest.sh: no programs in $bin: run install.sh first" >&2; exit 1; }
passed=0 failed=0 idlers=
trap 'kill $idlers 2>/dev/null || true' EXIT

# check WHAT GOT EXPECTED
check() {
  if [ "$2" = "$3" ]; then
    passed=$((passed + 1))
    echo "pass: $1: $2"
  else
    failed=$((failed + 1))
    echo "FAIL: $1: $2 (expected: $3)"
  fi
}

# state PID: its state, nice value and scheduling policy, fields 3, 19 and
# 41 of /proc/PID/stat (those after the name, which ends at the last ")").
state() {
  local fields
  fields=$(cat "/proc/$1/stat" 2>/dev/null) || { echo gone; return; }
  set -- ${fields##*') '}
  echo "state $1 nice ${17} policy ${39}"
}

# idler ARG...: starts batch_idler with no input and waits (3 s at most)
# until it sleeps in the batch class; its pid in $pid.
idler() {
  local tries=30
  "$bin/batch_idler" "$@" </dev/null >/dev/null &
  pid=$!
  idlers="$idlers $pid"
  while [ $tries -gt 0 ] && ! state $pid | grep -q '^state S .* policy 3$'; do
    sleep 0.1
    tries=$((tries - 1))
  done
}

status=0
out=$("$bin/greeter") || status=$?
check greeter "$out ($("$bin/greeter" | wc -c | xargs) bytes), status $status" \
  "Hello, World! (14 bytes), status 0"

idler 5
check "batch_idler 5, asleep in SCHED_BATCH (3) at nice 5" "$(state $pid)" "state S nice 5 policy 3"
idler
check "batch_idler, asleep in SCHED_BATCH (3) at nice 19" "$(state $pid)" "state S nice 19 policy 3"

# A process of its own: a name that the kernel's wait channel ends with, and
# each namespace's identifier, non-zero, as the kernel's link gives it.
kernel=$(cat "/proc/$pid/wchan") || kernel=?
got=$("$bin/print_wchan" $pid) || got="$got, status $?"
name=${got#"$pid" }
want="$pid <a name that $kernel ends with>"
case $name in
  - | \? | *' '* | *,* | '') ;;
  *) case $kernel in *"$name") want=$got ;; esac ;;
esac
check "print_wchan $pid (the kernel: $kernel)" "$got" "$want"

got=$("$bin/namespace_ids" $pid 2>&1) || got="$got, status $?"
same=0
while read -r p kind id; do
  link=$(readlink "/proc/$pid/ns/$kind") || link=
  [ "$p $id" != "$pid 0" ] && [ "$link" = "$kind:[$id]" ] && same=$((same + 1))
done <<END
$got
END
check "namespace_ids $pid: identifiers equal to the kernel's links" "$same of 6" "6 of 6"

status=0
wchan=$("$bin/print_wchan" 1 2>&1) || status=$?
echo "pid 1 (to uid $(id -u)): print_wchan: $wchan, status $status"
status=0
ids=$("$bin/namespace_ids" 1 2>&1) || status=$?
why=$(echo "$ids" | grep -v '^1 ') || why=
echo "pid 1 (to uid $(id -u)): namespace_ids: $(echo "$ids" | grep '^1 ' | cut -d' ' -f3 | xargs), status $status${why:+ ($why)}"

echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
