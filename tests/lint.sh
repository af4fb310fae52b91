#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The static checks, each a test of its own: the tree is formatted,
# clang-tidy and cppcheck find nothing, the manual pages render cleanly, and
# every file says its copyright and licence (reuse).
# usage: lint.sh format|tidy|cppcheck|man|reuse SOURCE_DIR BUILD_DIR
set -euo pipefail
mode=$1 src=$2 build=$3
cd "$src"
mapfile -t files < <(find batch_idler greeter wchan examples tests bench fuzz \
  -name '*.c' -o -name '*.cpp' -o -name '*.h' | sort)

case $mode in
  format)
    clang-format --dry-run -Werror "${files[@]}"
    ;;
  tidy)
    # The units this build compiles (the fuzzers are built by their own preset).
    mapfile -t units < <(for f in "${files[@]}"; do
      grep -q "\"file\": \"$src/$f\"" "$build/compile_commands.json" && echo "$f"; done)
    # A few units to a run, as many runs at once as there are processors.
    printf '%s\n' "${units[@]}" | xargs -P "$(nproc)" -n 3 clang-tidy --quiet -p "$build"
    ;;
  cppcheck)
    # Every branch, as before cppcheck 2.11, which limits them unless told.
    level=()
    grep -q -- --check-level <<<"$(cppcheck --help)" && level=(--check-level=exhaustive)
    # Plain loops are the house style; table rows' names are read through a
    # template; benchmark callbacks take the library's fixed signature.
    cppcheck --quiet --error-exitcode=1 --inline-suppr --std=c++17 "${level[@]}" \
      --enable=warning,style,performance,portability --library=googletest --library=posix \
      --project="$build/compile_commands.json" --file-filter="$src/*" \
      --suppress=useStlAlgorithm --suppress='unusedStructMember:*/tests/*' \
      --suppress='constParameterCallback:*/bench/*'
    ;;
  man)
    # A page renders without a single warning.
    status=0
    for page in $(find batch_idler greeter wchan -name '*.[1-9]' | sort); do
      warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
      [ -z "$warnings" ] || { echo "$page:"; echo "$warnings"; status=1; }
    done
    exit $status
    ;;
  reuse)
    # Two SPDX lines at the top of each file, or .reuse/dep5 where the format
    # has no comments.
    reuse lint
    ;;
  *)
    echo "usage: lint.sh format|tidy|cppcheck|man|reuse SOURCE_DIR BUILD_DIR" >&2
    exit 2
    ;;
esac
