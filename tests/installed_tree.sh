#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Fails when a file the build installs names a place of the build machine
# (PLACE: the checkout, the build folder, the sysroot or NDK), or when an
# installed object carries debug sections, which would hold such places.
# usage: installed_tree.sh BUILD_DIR PLACE...
set -euo pipefail
build=$1
shift
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build" --prefix "$scratch" >/dev/null
status=0
for place in "$@"; do
  ! grep -rlF -- "$place" "$scratch" | sed "s|^$scratch/|naming $place: |" | grep . || status=1
done
for object in "$scratch"/lib/*.o; do
  ! readelf --sections --wide "$object" | grep -oE '\.(z?debug|rela?\.debug)[a-z_.]*' |
    sed "s|^|${object##*/} carries |" | grep . || status=1
done
exit $status
