#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Fails when any FILE (an object or a program) carries or calls any of the C++
# runtime: mangled names (std::, operator new, typeinfo), exception support or
# guarded statics.
# usage: no_cxx_runtime.sh FILE...
set -euo pipefail
status=0
for file in "$@"; do
  # Only external symbols: the program's own internal names may be mangled.
  found=$(nm --extern-only "$file" | awk '{print $NF}' | grep -E '^_Z|__gxx_personality|__cxa_(throw|begin_catch|guard|pure_virtual)' || true)
  if [ -n "$found" ]; then
    echo "$file carries C++ runtime symbols:"
    echo "$found"
    status=1
  fi
done
exit $status
