#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The example callers built as another project builds them, against the build
# installed into a scratch tree: by tests/consumer, which finds the tree with
# find_package (configured as target.env's target_cmake says), and by
# target.env's compile line with pkg-config's flags. Each must be a program of
# the build's architecture, and HARNESS, the callers' suite, then runs them. A
# consumer for another target must be refused: the package's message must say
# "built for REFUSAL".
# With DEBIAN_ROOT, a root into which Debian's -dev packages are installed,
# they are built against that instead, as Debian's (cross) builds do:
# find_package by CMAKE_LIBRARY_ARCHITECTURE, pkg-config from the triplet's
# folder (PKG_CONFIG_LIBDIR).
# usage: linking.sh SOURCE_DIR BUILD_DIR HARNESS REFUSAL [DEBIAN_ROOT]
set -euo pipefail
src=$1 build=$2 harness=$3 refusal=$4 debian=${5-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# shellcheck source=/dev/null
source "$build/target.env"
# The flags as the shell words they are (paths in them are quoted).
eval "cmake_args=($target_cmake) cflags=($target_cflags) ldflags=($target_ldflags)"
consumer() { cmake -S "$src/tests/consumer" -B "$scratch/$1" -G Ninja "${@:2}"; }

if [ -z "$debian" ]; then
  tree=$scratch/tree
  cmake --install "$build" --prefix "$tree" >/dev/null
  # The host's own consumer (for the host's tree, a make-believe riscv64 one)
  # finds the tree by the search every project makes, and is refused.
  foreign=(-DCMAKE_PREFIX_PATH="$tree")
  [ -n "$target_cmake" ] || foreign+=(-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR=riscv64)
  out=$(consumer foreign "${foreign[@]}" 2>&1) && { echo "a consumer for another target took the tree"; exit 1; }
  grep -F "proc-utilities-config.cmake, version: $package_version, built for $refusal" <<<"$out" || { echo "$out"; exit 1; }
  # A toolchain file confines searches to its sysroot: the package's folder is named.
  consumer built "${cmake_args[@]}" -Dproc-utilities_DIR="$tree/lib/cmake/proc-utilities"
  pkgconfig=(PKG_CONFIG_PATH="$tree/lib/pkgconfig")
else
  triplet=$("$target_cc" -dumpmachine) cross=()
  [ "${triplet%%-*}" = "$(uname -m)" ] || cross=(-DCMAKE_SYSTEM_NAME=Linux -DCMAKE_SYSTEM_PROCESSOR="${triplet%%-*}")
  consumer built "${cross[@]}" -DCMAKE_C_COMPILER="$target_cc" -DCMAKE_LIBRARY_ARCHITECTURE="$triplet" \
    -DCMAKE_PREFIX_PATH="$debian/usr"
  pkgconfig=(PKG_CONFIG_LIBDIR="$debian/usr/lib/$triplet/pkgconfig")
fi
cmake --build "$scratch/built"
mkdir "$scratch/pkg-config"
for caller in print_wchan:wchan namespace_ids:namespaces; do
  # pkg-config escapes the blanks in its paths, for a shell to read.
  eval "pc=($(env "${pkgconfig[@]}" pkg-config --cflags --libs "proc-utilities-${caller#*:}"))"
  "$target_cc" "${cflags[@]}" "${pc[@]}" "$src/examples/${caller%:*}.c" "${ldflags[@]}" -o "$scratch/pkg-config/${caller%:*}"
done

machine=$(file -b "$build/examples/print_wchan" | cut -d, -f2)
for way in built pkg-config; do
  for program in "$scratch/$way"/{print_wchan,namespace_ids}; do
    [ "$(file -b "$program" | cut -d, -f2)" = "$machine" ] || { echo "${program#"$scratch"/}: $(file -b "$program")"; exit 1; }
    # Aligned as the kit's own programs, which the package asks of it.
    [ -z "$target_max_page_size" ] || "$src/tests/load_alignment.sh" "$program" "$target_max_page_size"
  done
  [ -z "$target_cannot_run" ] || { echo "skipped: running the callers: $target_cannot_run"; continue; }
  TEST_EMULATOR=${target_run%% *} NAMESPACE_IDS=$scratch/$way/namespace_ids PRINT_WCHAN=$scratch/$way/print_wchan "$harness"
done
