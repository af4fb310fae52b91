#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The example callers built as another project builds them, against the build
# installed into a scratch tree: by tests/consumer, which finds the tree with
# find_package (configured as target.env's target_cmake says), and print_wchan
# also by target.env's compile line with pkg-config's flags. HARNESS, the
# callers' suite, then runs them. A consumer for another target must be
# refused: the package's message must say "built for REFUSAL".
# usage: linking.sh SOURCE_DIR BUILD_DIR HARNESS REFUSAL
set -euo pipefail
src=$1 build=$2 harness=$3 refusal=$4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
tree=$scratch/tree
cmake --install "$build" --prefix "$tree" >/dev/null
# shellcheck source=/dev/null
source "$build/target.env"
consumer() { cmake -S "$src/tests/consumer" -B "$scratch/$1" -G Ninja "${@:2}"; }

# The host's own consumer (for the host's tree, a make-believe riscv64 one)
# finds the tree by the search every project makes, and is refused.
foreign=(-DCMAKE_PREFIX_PATH="$tree")
[ -n "$target_cmake" ] || foreign+=(-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=riscv64)
out=$(consumer foreign "${foreign[@]}" 2>&1) && { echo "a consumer for another target took the tree"; exit 1; }
grep -F "proc-utilities-config.cmake, version: $package_version, built for $refusal" <<<"$out" || { echo "$out"; exit 1; }

# A toolchain file confines searches to its sysroot: the package's folder is named.
# shellcheck disable=SC2086 # CMake arguments, one word each
consumer built $target_cmake -Dproc-utilities_DIR="$tree/lib/cmake/proc-utilities"
cmake --build "$scratch/built"
# shellcheck disable=SC2046,SC2086 # compiler flags, one word each
$target_cc $target_cflags $(PKG_CONFIG_PATH=$tree/lib/pkgconfig pkg-config --cflags --libs proc-utilities-wchan) \
  "$src/examples/print_wchan.c" $target_ldflags -o "$scratch/print_wchan"

export TEST_EMULATOR=${target_run%% *}
NAMESPACE_IDS=$scratch/built/namespace_ids PRINT_WCHAN=$scratch/built/print_wchan "$harness"
PRINT_WCHAN=$scratch/print_wchan "$harness" --gtest_filter='print_wchan.*'
