#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The wchan object takes close, open, read and snprintf from its host program
# and gives it lookup_wchan: no other symbol may cross, but for symbols the
# linker itself provides, which the target's code may name (LINKER_SYMBOL).
# usage: wchan_symbols.sh OBJECT [LINKER_SYMBOL...]
set -euo pipefail
object=$1
shift
takes=$(nm --undefined-only "$object" | awk '{print $NF}' | grep -vxF -f <(printf '%s\n' "$@") | sort | xargs || true)
gives=$(nm --extern-only --defined-only "$object" | awk '{print $NF}' | sort | xargs)
status=0
if [ "$takes" != "close open read snprintf" ]; then
  echo "$object takes: $takes (expected: close open read snprintf)"
  status=1
fi
if [ "$gives" != "lookup_wchan" ]; then
  echo "$object gives: $gives (expected: lookup_wchan)"
  status=1
fi
exit $status
