#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# What CMakePresets.json declares, for the Makefile, as one line of build
# names. A build is a preset built in build/<name>; a preset whose toolchain
# takes an NDK (cmake/android.cmake) is built with the bionic sysroot under
# its own name, and with an NDK as <preset>-ndk.
#   presets.sh targets   the builds `make` installs into dist/<preset>/ (presets
#                        with an install folder): with an NDK where the
#                        environment names one (ANDROID_NDK_HOME), else not
#   presets.sh builds    every such build, those that take an NDK both ways
#                        (`make bench` measures them all)
#   presets.sh tests     the builds `make test` tests: every test preset, and
#                        those that take an NDK both ways
# The NDK way takes the environment's NDK, or the stand-in beside the checkout.
# Either leaves out the presets whose toolchain file, run as a script, says it
# cannot build here, and tells why on standard error; it fails, after telling
# each, when a toolchain file refuses what it was given.
set -euo pipefail
cd "$(dirname "$0")/.."
names() { sed -n 's/^  "\([^"]*\)".*/\1/p'; }
ndk=${ANDROID_NDK_HOME:-${ANDROID_NDK_ROOT:-}}

mode=${1-}
case $mode in
  targets | builds) presets=$(cmake --list-presets | names) ;;
  tests) presets=$(ctest --list-presets | names) ;;
  *) echo "usage: presets.sh targets|builds|tests" >&2; exit 2 ;;
esac
refused=0 builds=()
for preset in $presets; do
  vars=$(cmake --preset "$preset" -N)
  [ "$mode" = tests ] || grep -q '^  CMAKE_INSTALL_PREFIX' <<<"$vars" || continue
  toolchain=$(sed -n 's/^  CMAKE_TOOLCHAIN_FILE:FILEPATH="\(.*\)"$/\1/p' <<<"$vars")
  if [ -n "$toolchain" ]; then
    # The toolchain file sees the preset's variables, as at configure.
    mapfile -t defines < <(sed -n 's/^  \([A-Za-z_]*\)\(:[A-Z]*\)\{0,1\}="\(.*\)"$/-D\1=\3/p' <<<"$vars")
    if ! why=$(cmake "${defines[@]}" -P "$toolchain" 2>&1); then
      echo "$preset: refused: $(sed -n 's/^  //p' <<<"$why" | paste -sd' ')" >&2
      refused=1
      continue
    fi
    if skip=$(sed -n 's/^-- skipped: //p' <<<"$why") && [ -n "$skip" ]; then
      echo "$preset: skipped ($skip)" >&2
      continue
    fi
  fi
  [[ $toolchain == */cmake/android.cmake ]] || { builds+=("$preset"); continue; }
  case $mode in
    targets) builds+=("$preset${ndk:+-ndk}") ;;
    builds | tests)
      builds+=("$preset")
      if [ -n "$ndk" ] || [ -d ../shared/android-ndk ]; then
        builds+=("$preset-ndk")
      else
        echo "$preset-ndk: skipped (no NDK: set ANDROID_NDK_HOME)" >&2
      fi
      ;;
  esac
done
echo "${builds[*]}"
exit $refused
