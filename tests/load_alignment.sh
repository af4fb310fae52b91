#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Fails unless every LOAD segment of FILE is aligned to at least MIN bytes, so
# that it maps on a kernel with pages of that size.
# usage: load_alignment.sh FILE MIN
set -euo pipefail
file=$1 min=$2
# The last field of a LOAD line is its alignment, in hexadecimal.
aligns=$(readelf --program-headers --wide "$file" | awk '$1 == "LOAD" { print $NF }')
[ -n "$aligns" ] || { echo "$file has no LOAD segment"; exit 1; }
status=0
for align in $aligns; do
  if ((align < min)); then
    echo "$file has a LOAD segment aligned to $((align)) bytes (at least $min needed)"
    status=1
  fi
done
exit $status
