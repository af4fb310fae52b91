#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The x86_64 Android programs under qemu-user, as a machine of another kind
# (arm64) runs them: PRESET configured with EMULATE, which hands its
# programs to qemu-x86_64 although this machine runs them itself. The
# configure's probe must run through it, and so must greeter.
# usage: emulated.sh SOURCE_DIR PRESET
set -euo pipefail
src=$1 preset=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake -S "$src" --preset "$preset" -B "$scratch/build" -DEMULATE=ON --log-level=WARNING >/dev/null
cmake --build "$scratch/build" --target greeter >/dev/null
# shellcheck source=/dev/null
source "$scratch/build/target.env"
[ -z "$target_cannot_run" ] || { echo "skipped: $target_cannot_run"; exit 77; }
echo "$preset: under $target_run"
[[ $target_run == */qemu-* ]] || { echo "not handed to qemu-user"; exit 1; }
got=$($target_run "$scratch/build/greeter/greeter")
[ "$got" = "Hello, World!" ] || { echo "greeter under ${target_run%% *}: $got"; exit 1; }
