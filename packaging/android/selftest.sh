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
passed=0 failed=0 idlers= closed= scratch=
# Whatever stops it, it ends with its closing line.
trap 'status=$?; kill $idlers 2>/dev/null || true; [ -z "$scratch" ] || rm -rf "$scratch" 2>/dev/null || true
  [ -n "$closed" ] || { echo "FAIL: selftest.sh stopped early, status $status"; echo "$passed passed, $((failed + 1)) failed"; exit 1; }' EXIT
bin=${1-}
if [ -z "$bin" ]; then
  here=$(cd "$(dirname "$0")" && pwd)
  bin=$here/bin
  # From the Termux package, share/proc-utilities/: the programs are the prefix's.
  [ -x "$bin/greeter" ] || [ ! -x "$here/../../bin/greeter" ] || bin=$(cd "$here/../../bin" && pwd)
fi
[ -x "$bin/greeter" ] || { echo "selftest.sh: no programs in $bin: run install.sh first" >&2; exit 1; }
# The uid from the kernel: id(1) fails where no name is known for it.
uid=
while read -r field value _; do [ "$field" != Uid: ] || uid=$value; done </proc/self/status
scratch=${TMPDIR:-$bin}/.selftest.$$
mkdir -p "$scratch"

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

# state PID: sets st to "state S nice N policy P" (fields 3, 19 and 41 of
# /proc/PID/stat; the name, field 2, ends at the last ")"), or to "gone";
# ticks PID: sets tk to its CPU ticks (fields 14 and 15). Read by the shell
# itself: on a slow device, or an emulated one, each process it starts costs.
state() {
  local f
  read -r f 2>/dev/null <"/proc/$1/stat" || { st=gone; return 0; }
  set -- ${f##*') '}
  st="state $1 nice ${17} policy ${39}"
}
ticks() {
  local f
  read -r f 2>/dev/null <"/proc/$1/stat" || { tk=gone; return 0; }
  set -- ${f##*') '}
  tk=$((${12} + ${13}))
}

# idler ARG...: starts batch_idler with its input at end of file, and waits
# (3 s at most) until it sleeps in the batch class; its pid in $pid, what it
# reported in $scratch/idler.
idler() {
  local tries=30
  "$bin/batch_idler" "$@" </dev/null >/dev/null 2>"$scratch/idler" &
  pid=$!
  idlers="$idlers $pid"
  while [ $tries -gt 0 ]; do
    state $pid
    case $st in "state S "*" policy 3") break ;; esac
    sleep 0.1
    tries=$((tries - 1))
  done
}

# greeter: the line, its bytes and status; on a full device, reported.
status=0
out=$("$bin/greeter") || status=$?
check greeter "$out ($(($("$bin/greeter" | wc -c))) bytes), status $status" \
  "Hello, World! (14 bytes), status 0"
status=0
"$bin/greeter" >/dev/full 2>"$scratch/full" || status=$?
check "greeter >/dev/full" "status $status, reported: $(cat "$scratch/full")" \
  "status 1, reported: fflush(stdout): No space left on device"

# batch_idler: argument, then its class and nice value, asleep. 2^32 + 2
# keeps its low 32 bits on every ABI. Only root may lower its nice value: a
# check started at a higher one (nice 19 make test, say) sees its own kept.
state $$
nice_here=${st#* nice }
nice_here=${nice_here%% *}
while read -r arg want; do
  nice=${want#state S nice }
  [ "$uid" = 0 ] || [ "${nice%% *}" -ge "$nice_here" ] || want="state S nice $nice_here policy 3"
  if [ "$arg" = - ]; then idler; else idler "$arg"; fi
  name=${arg#-}
  state $pid
  check "batch_idler ${name:-(no argument)}" "$st" "$want"
done <<'END'
- state S nice 19 policy 3
5 state S nice 5 policy 3
4294967298 state S nice 2 policy 3
END
# -5: root may lower its nice value, no one else; refused, it is reported
# and the program idles on at the nice value it was given.
idler -5
if [ "$uid" = 0 ]; then
  want="state S nice -5 policy 3, reported: "
else
  want="state S nice $nice_here policy 3, reported: setpriority(PRIO_PROCESS, 0, -5): Permission denied"
fi
state $pid
check "batch_idler -5 (uid $uid)" "$st, reported: $(cat "$scratch/idler")" "$want"
# At end of input it sleeps rather than spin: no CPU time in a second.
ticks $pid
before=$tk
sleep 1
ticks $pid
check "batch_idler at end of input: CPU ticks in 1 s" "$((tk - before))" 0

# print_wchan: a process of its own, a name that the kernel's wait channel
# ends with; a pid with no process, "?".
kernel=$(cat "/proc/$pid/wchan") || kernel=?
got=$("$bin/print_wchan" $pid) || got="$got, status $?"
name=${got#"$pid" }
want="$pid <a name that $kernel ends with>"
case $name in
  - | \? | *' '* | *,* | '') ;;
  *) case $kernel in *"$name") want=$got ;; esac ;;
esac
check "print_wchan $pid (the kernel: $kernel)" "$got" "$want"
got=$("$bin/print_wchan" 2147483647 2>&1) || got="$got, status $?"
check "print_wchan of no process" "$got" "2147483647 ?"

# namespace_ids: each identifier of its own process, non-zero, as the
# kernel's link gives it; for a process it may not read, zeros and the
# error (EACCES where it sees pid 1; hidden, pid 1 is no process to it, and
# root may read them all: a pid with no process).
got=$("$bin/namespace_ids" $pid 2>&1) || got="$got, status $?"
same=0
while read -r p kind id; do
  link=$(readlink "/proc/$pid/ns/$kind") || link=
  [ "$p $id" != "$pid 0" ] && [ "$link" = "$kind:[$id]" ] && same=$((same + 1))
done <<END
$got
END
check "namespace_ids $pid: identifiers equal to the kernel's links" "$same of 6" "6 of 6"
closed=1 want="0 0 0 0 0 0, status 0"
if [ "$uid" = 0 ]; then
  closed=2147483647
elif [ -d /proc/1 ]; then
  want="0 0 0 0 0 0, read_namespace_ids(1, &record): Permission denied, status 1"
fi
status=0
ids=$("$bin/namespace_ids" $closed 2>"$scratch/ids") || status=$?
check "namespace_ids $closed (uid $uid)" \
  "$(echo "$ids" | cut -d' ' -f3 | xargs)$(sed 's/^/, /' "$scratch/ids"), status $status" "$want"

status=0
wchan=$("$bin/print_wchan" 1 2>&1) || status=$?
echo "pid 1 (to uid $uid): print_wchan: $wchan, status $status"
status=0
ids=$("$bin/namespace_ids" 1 2>&1) || status=$?
why=$(echo "$ids" | grep -v '^1 ') || why=
echo "pid 1 (to uid $uid): namespace_ids: $(echo "$ids" | grep '^1 ' | cut -d' ' -f3 | xargs), status $status${why:+ ($why)}"

closed=1
echo "$passed passed, $failed failed"
[ $failed -eq 0 ]
