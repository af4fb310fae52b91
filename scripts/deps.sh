#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Makes sure the Debian packages that building and testing need are here.
# As root it installs what is missing; otherwise it prints the one command to run.
set -euo pipefail

packages=(
  cmake ninja-build make gcc g++ binutils        # host build
  qemu-user                                       # the targets' programs under emulation
  googletest libgtest-dev                         # tests (sources for the cross builds)
  libbenchmark-dev                                # benchmarks
  clang-format clang-tidy cppcheck man-db         # static checks, manual pages
  clang libclang-rt-14-dev                        # fuzzing (libFuzzer, sanitizers)
  lld llvm                                        # Android with a bionic sysroot (and clang)
  dpkg-dev lintian                                # Debian packages
  mksh toybox                                     # Android's shell and commands, for its scripts' tests
)
# The cross compilers the presets name: a GNU/Linux target's (CROSS_TRIPLE),
# and one whose libgcc.a serves an Android sysroot (LIBGCC_TRIPLE).
presets=$(dirname "$0")/../CMakePresets.json
packages+=($(sed -n 's/.*"CROSS_TRIPLE": *"\([^"]*\)".*/g++-\1/p' "$presets"))
packages+=($(sed -n 's/.*"LIBGCC_TRIPLE": *"\([^"]*\)".*/gcc-\1/p' "$presets"))

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
  echo "missing Debian packages; run as root:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
