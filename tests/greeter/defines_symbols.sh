#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Fails unless FILE defines every SYMBOL in its text section: code linked in,
# not merely referenced.
# usage: defines_symbols.sh FILE SYMBOL...
set -euo pipefail
file=$1
shift
table=$(nm "$file")
status=0
for symbol in "$@"; do
  if ! grep -qE "^[0-9a-f]+ T $symbol\$" <<<"$table"; then
    echo "$file does not define $symbol"
    status=1
  fi
done
exit $status
