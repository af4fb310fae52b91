# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Sourced by the scripts that watch a process from outside.
# stat_fields PID N...: fields N... of /proc/PID/stat, numbered from 1 as
# proc(5) numbers them (19 is the nice value, 41 the scheduling policy). The
# command name, field 2, may hold blanks and parentheses: the fields after it
# are read from after its last ')'.
stat_fields() {
  local pid=$1 stat n out=()
  shift
  stat=$(cat "/proc/$pid/stat") || return 1
  read -r -a f <<<"${stat##*) }"
  for n in "$@"; do out+=("${f[n - 3]}"); done
  echo "${out[*]}"
}
