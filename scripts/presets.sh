#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# What CMakePresets.json declares, for the Makefile, as one line of names:
#   presets.sh targets   the presets that install deliverables into dist/ (those
#                        with an install folder)
#   presets.sh tests     the test presets
# Either leaves out the presets whose toolchain file, run as a script, says it
# cannot build here, and tells why on standard error.
set -euo pipefail
cd "$(dirname "$0")/.."
names() { sed -n 's/^  "\([^"]*\)".*/\1/p'; }

mode=${1-}
case $mode in
  targets) presets=$(cmake --list-presets | names) ;;
  tests) presets=$(ctest --list-presets | names) ;;
  *) echo "usage: presets.sh targets|tests" >&2; exit 2 ;;
esac
for preset in $presets; do
  vars=$(cmake --preset "$preset" -N)
  [ "$mode" = tests ] || grep -q '^  CMAKE_INSTALL_PREFIX' <<<"$vars" || continue
  toolchain=$(sed -n 's/^  CMAKE_TOOLCHAIN_FILE:FILEPATH="\(.*\)"$/\1/p' <<<"$vars")
  if [ -n "$toolchain" ] && ! why=$(cmake -P "$toolchain" 2>&1); then
    echo "$preset: skipped ($(sed -n 's/^  //p' <<<"$why" | paste -sd' '))" >&2
    continue
  fi
  echo "$preset"
done | paste -sd' '
