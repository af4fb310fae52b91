#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Configures and builds the deliverables of PRESET... as on a Linux host that
# is not Debian and has no emulator, GoogleTest or Google Benchmark: with a
# PATH from which dpkg*, apt*, lintian and qemu-* are removed, CMake told to
# look for programs on that PATH alone, and the two libraries not found. Each
# build must bring out its programs and name no Debian package; it says why
# it makes none, why its tests cannot run, and what its suites need.
# usage: any_host.sh SOURCE_DIR PRESET...
set -euo pipefail
src=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/bin"
# The first of each name on PATH, linked by one ln rather than a process
# for each of the thousands of commands.
declare -A seen
links=()
for dir in ${PATH//:/ }; do
  for command in "$dir"/*; do
    name=${command##*/}
    [[ -x $command && -z ${seen[$name]-} && ! $name =~ ^(dpkg|apt|lintian|qemu-) ]] || continue
    seen[$name]=1 links+=("$command")
  done
done
ln -s -t "$scratch/bin" -- "${links[@]}"

status=0
for preset in "$@"; do
  build=$scratch/$preset
  if ! out=$(PATH=$scratch/bin cmake -S "$src" --preset "$preset" -B "$build" -DCMAKE_FIND_USE_CMAKE_SYSTEM_PATH=OFF \
    -DGTEST_INCLUDE_DIR=GTEST_INCLUDE_DIR-NOTFOUND -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
    --no-warn-unused-cli --log-level=WARNING 2>&1); then
    # A toolchain this machine lacks altogether is no fault of the build's.
    grep -q '^  not here: ' <<<"$out" || { echo "$out"; status=1; continue; }
    echo "skipped: $preset: $(grep '^  not here: ' <<<"$out" | sed 's/^  not here: //')"
    continue
  fi
  PATH=$scratch/bin cmake --build "$build" --target greeter batch_idler >/dev/null
  ls "$build/greeter/greeter" "$build/batch_idler/batch_idler" >/dev/null || status=1
  # package_no_deb is set exactly when no Debian or Termux package is named.
  grep -E "^(package_no_deb|target_cannot_run|target_tests_need)='[^']" "$build/target.env" | sed "s/^/$preset: /" || true
  grep -q "^package_no_deb='[^']" "$build/target.env" || status=1
  grep -q "^target_tests_need='GoogleTest" "$build/target.env" || status=1
done
exit $status
