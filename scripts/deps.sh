#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Makes sure what `make` (GOAL build), `make test` (GOAL test) or
# scripts/debian.sh (GOAL debian) needs is here, by the commands and files
# themselves, not by package names.
#  - On Debian, as root, it installs every missing one's package; not as
#    root, it prints the one apt-get line to run and stops.
#  - Elsewhere it names what is missing and stops when the goal needs it; an
#    emulator or a Debian tool that is missing only means fewer tests or no
#    Debian package, and is named in one line.
# usage: deps.sh [build|test|debian]
set -euo pipefail
goal=${1:-build}

# what (a command, or a file pattern), its Debian package, which goal needs it
# (optional: nothing stops without it; a build whose tools are missing is left
# out, said by the driver), and for a file the name it is shown by off Debian.
# Packages that follow Debian's default release of a tool (clang's runtime:
# libclang-rt-dev, as clang follows it) and patterns that match each
# release's layout (clang 14: lib/linux/*-x86_64.a, clang 19:
# lib/x86_64-pc-linux-gnu/*.a) keep the list right on Debian 12 and 13.
needs="
cmake                  cmake                 build
make                   make                  build
ninja                  ninja-build           build
gcc                    gcc                   build
g++                    g++                   build
readelf                binutils              build
clang                  clang                 optional
ld.lld                 lld                   optional
llvm-readelf           llvm                  optional
aarch64-linux-gnu-g++  g++-aarch64-linux-gnu optional
aarch64-linux-gnu-gcc  gcc-aarch64-linux-gnu optional
/usr/include/gtest/gtest.h               libgtest-dev      optional GoogleTest
/usr/src/googletest/CMakeLists.txt       googletest        optional GoogleTest's sources
/usr/include/benchmark/benchmark.h       libbenchmark-dev  optional Google Benchmark
clang-format           clang-format          test
clang-tidy             clang-tidy            test
cppcheck               cppcheck              test
man                    man-db                test
reuse                  reuse                 test
pkg-config             pkgconf               test
mksh                   mksh                  test
toybox                 toybox                test
busybox                busybox-static        test
perl                   perl-base             test
file                   file                  test
/usr/lib/llvm-*/lib/clang/*/lib/*/libclang_rt.fuzzer?(-*).a  libclang-rt-dev  test libFuzzer
qemu-aarch64           qemu-user             optional
qemu-arm               qemu-user             optional
qemu-system-x86_64     qemu-system-x86       optional
qemu-system-aarch64    qemu-system-arm       optional
qemu-system-arm        qemu-system-arm       optional
qemu-system-i386       qemu-system-x86       optional
cpio                   cpio                  optional
dpkg-deb               dpkg                  optional
lintian                lintian               optional
mmdebstrap             mmdebstrap            debian
newuidmap              uidmap                debian
"
shopt -s extglob
here() { if [[ $1 == /* ]]; then compgen -G "$1" >/dev/null; else command -v "$1" >/dev/null; fi; }

missing=() packages=() stopping=()
while read -r what package need name; do
  [ -n "$what" ] && ! here "$what" || continue
  # The Debian run needs its own tools here and nothing else; make, not those.
  if [ "$goal" = debian ]; then [ "$need" = debian ] || continue; elif [ "$need" = debian ]; then continue; fi
  missing+=("${name:-$what}")
  [[ " ${packages[*]} " == *" $package "* ]] || packages+=("$package")
  [ "$need" = build ] || [ "$need" = "$goal" ] && stopping+=("${name:-$what}")
done <<<"$needs"
[ ${#missing[@]} -eq 0 ] && exit 0

if command -v apt-get >/dev/null && command -v dpkg-query >/dev/null; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "missing Debian packages; run as root:" >&2
    echo "  apt-get update && apt-get install -y ${packages[*]}" >&2
    exit 1
  fi
  echo "installing: ${packages[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
  exit 0
fi

list() { local IFS=,; echo "$*" | sed 's/,/, /g'; }
if [ ${#stopping[@]} -gt 0 ]; then
  echo "not found, and make $goal needs them: $(list "${stopping[@]}")" >&2
  exit 1
fi
echo "not found, so some builds, tests or packages are left out: $(list "${missing[@]}")" >&2
