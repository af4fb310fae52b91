#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Writes the debug information of PROGRAM where debuggers look for it by its
# build-id: DIR/.build-id/<first two hex digits>/<the rest>.debug.
# usage: debug-file.sh OBJCOPY READELF PROGRAM DIR
set -euo pipefail
objcopy=$1 readelf=$2 program=$3 dir=$4
id=$("$readelf" --notes "$program" | sed -n 's/^ *Build ID: *\([0-9a-f]*\)$/\1/p')
[ -n "$id" ] || { echo "$program has no build-id" >&2; exit 1; }
file=$dir/.build-id/${id:0:2}/${id:2}.debug
mkdir -p "${file%/*}"
"$objcopy" --only-keep-debug "$program" "$file"
chmod 644 "$file"
