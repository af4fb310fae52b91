#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The Android builds on a real kernel, as on a device:
#   kernel.sh DIR ARCH PACKAGE SUITES ARCHIVES PRESET...
# fetches the kernel into DIR and boots it (scripts/kernel.sh) with the
# archives in ARCHIVES (`scripts/kernel.sh archives`), where tests/device.sh
# runs them as on a device whose ABI list begins with each PRESET's ABI and
# goes on with those after it; and, where this host's kernel runs none of a
# PRESET's programs, that build's suites. Then it judges the last line the
# device printed of each: where the archive's abis file says an ABI's
# programs run with the kernel's pages, they run, the Termux package's
# preinst lets them in and selftest.sh passes for root, the shell user and an
# app; where it says they do not, they indeed fail, and the preinst and
# install.sh refuse.
# Status 3, with the reason on one line: no kernel or machine to boot here.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
dir=$1 arch=$2 package=$3 suites=$4 archives=$5
shift 5
# shellcheck disable=SC2086 # the suites, one word each
"$src/scripts/kernel.sh" fetch "$dir" "$arch" "$package" $suites
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
payload=$scratch/payload console=$scratch/console
"$src/scripts/kernel.sh" payload "$payload" "$archives" "$arch" "$@"
cp "$src/tests/device.sh" "$payload/run.sh"
started=$SECONDS
"$src/scripts/kernel.sh" boot "$dir" "$arch" "$payload" </dev/null | tr -d '\r' >"$console" ||
  [ "${PIPESTATUS[0]}" != 3 ] || exit 3
echo "booted, ran and powered off in $((SECONDS - started)) s"
pages=$(sed -n 's/^device: kernel .*, pages of \([0-9]*\) bytes$/\1/p' "$console")
[ -n "$pages" ] || { cat "$console"; echo "the kernel said nothing of the device: did it boot?"; exit 1; }
grep '^device: kernel' "$console"

# check WHAT PATTERN: the last line the device printed of WHAT matches.
status=0
check() {
  local got
  got=$(sed -n "s|^device: $1: ||p" "$console" | tail -n 1)
  # shellcheck disable=SC2053 # a pattern
  [[ $got == $2 ]] || { sed -n "s|^device: $1: ||p" "$console"; echo "FAIL: $1 (expected: $2)"; status=1; }
  echo "$1: $got"
}
ready=0
while read -r way abis; do
  abi=${abis%%,*}
  served=$(sed -n "s/^$abi [^ ]* \([0-9]*\)$/\1/p" "$payload/$way"/*-android/abis)
  # Programs for smaller pages must fail there, and be refused.
  if [ "$served" -ge "$pages" ]; then
    ready=1 want=("Hello, World! status 0" "status 0" "11 passed, 0 failed")
  else
    want=("* status [1-9]*"
      "proc-utilities: refused: this device's pages are $pages bytes, larger than these programs run with ($served bytes): build them with Android NDK r27 or later status 1"
      "install.sh: refused: this device's pages are $pages bytes, larger than its ABIs' programs here run with *")
  fi
  check "$way $abi direct" "${want[0]}"
  [ ! -f "$payload/$way/preinst.$abi" ] || check "$way $abi preinst" "${want[1]}"
  for who in root shell u0_a57; do check "$way $abi $who" "${want[2]}"; done
done <"$payload/plan"
[ ! -f "$payload/suites" ] || while read -r build; do
  check "suites ${build##*/}" "100% tests passed, 0 tests failed out of *"
done <"$payload/suites"
[ $ready = 1 ] || echo "skipped: the self-check on pages of $pages bytes: no build here runs with them" \
  "(each libc.a is older than Android NDK r27's)"
exit $status
