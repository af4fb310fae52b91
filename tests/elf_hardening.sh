#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Fails unless PROGRAM's ELF headers show it hardened: of TYPE (EXEC, or DYN
# when position independent), with a segment made read-only after relocation
# (GNU_RELRO), bound at start (BIND_NOW) where it has a dynamic section, and
# a stack that is not executable (GNU_STACK RW).
# usage: elf_hardening.sh PROGRAM TYPE
set -euo pipefail
program=$1 type=$2
headers=$(readelf --file-header --program-headers --dynamic --wide "$program")
status=0
fail() { echo "$program: $*"; status=1; }
grep -qE "^ *Type: +$type " <<<"$headers" || fail "$(grep -E '^ *Type:' <<<"$headers") (expected $type)"
grep -qE '^ *GNU_RELRO ' <<<"$headers" || fail "no GNU_RELRO segment"
if grep -qE '^ *DYNAMIC ' <<<"$headers"; then
  grep -qE '\(FLAGS\).*BIND_NOW' <<<"$headers" || fail "has a dynamic section, not bound now"
fi
stack=$(awk '$1 == "GNU_STACK" { print $(NF - 1) }' <<<"$headers")
[ "$stack" = RW ] || fail "stack: ${stack:-no GNU_STACK segment} (expected RW)"
exit $status
