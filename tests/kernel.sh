#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The Android builds on a real kernel, as on a device:
#   kernel.sh DIR ARCH PACKAGE SUITES ARCHIVES PRESET...
# fetches the kernel into DIR and boots it (scripts/kernel.sh) with the
# archives in ARCHIVES (`scripts/kernel.sh archives`), where tests/device.sh
# runs them as on a device whose ABI list begins with each PRESET's ABI and
# goes on with those after it. Then it judges what the device printed: where
# the archive's abis file says an ABI's programs run with the kernel's pages,
# they run, the Termux package's preinst lets them in and selftest.sh passes
# for root, the shell user and an app; where it says they do not, they
# indeed fail, and the preinst and install.sh refuse.
# Status 3, with the reason on one line: no kernel or machine to boot here.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)

boot() {
  local dir=$1 arch=$2 package=$3 suites=$4 archives=$5
  shift 5
  # shellcheck disable=SC2086
  "$src/scripts/kernel.sh" fetch "$dir" "$arch" "$package" $suites
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  local payload=$scratch/payload
  "$src/scripts/kernel.sh" payload "$payload" "$archives" "$@"
  cp "$src/tests/device.sh" "$payload/run.sh"
  # The builds, each way, whose suites only a virtual machine runs: the
  # machine gets this host's tree.
  local preset build shares=() suites=()
  for preset in "$@"; do
    for build in "$src/build/$preset" "$src/build/$preset-ndk"; do
      [ "$(. "$build/target.env" 2>/dev/null && echo "${target_suites_in_kernel-}")" != ON ] || suites+=("$build")
    done
  done
  if [ ${#suites[@]} -gt 0 ]; then
    printf '%s\n' "$src/build" "${suites[@]}" >"$payload/suites"
    shares=(host=/:ro "build=$src/build")
  fi
  local started=$SECONDS
  "$src/scripts/kernel.sh" boot "$dir" "$arch" "$payload" "${shares[@]}" </dev/null | tr -d '\r' >"$scratch/console" ||
    [ "${PIPESTATUS[0]}" != 3 ] || exit 3
  echo "booted, ran and powered off in $((SECONDS - started)) s"
  judge "$scratch/console" "$payload"
}

# judge CONSOLE PAYLOAD: one line per way, ABI and check; status 1 if any failed.
judge() {
  local console=$1 payload=$2 pages status=0 way abis abi served got pattern
  pages=$(sed -n 's/^device: kernel .*, pages of \([0-9]*\) bytes$/\1/p' "$console")
  if [ -z "$pages" ]; then
    cat "$console"
    echo "the kernel said nothing of the device: did it boot?"
    return 1
  fi
  grep '^device: kernel' "$console"
  local ready=0 what want
  while read -r way abis; do
    abi=${abis%%,*}
    served=$(sed -n "s/^$abi [^ ]* \([0-9]*\)$/\1/p" "$payload/$way"/*-android/abis)
    # The last line of each: run directly, the Termux preinst, then
    # install.sh and selftest.sh as each user. Programs for smaller pages
    # must fail there, and be refused.
    if [ "$served" -ge "$pages" ]; then
      ready=1 want=("Hello, World! status 0" "status 0" "11 passed, 0 failed")
    else
      want=("* status [1-9]*"
        "proc-utilities: refused: this device's pages are $pages bytes, larger than these programs run with ($served bytes): build them with Android NDK r27 or later status 1"
        "install.sh: refused: this device's pages are $pages bytes, larger than its ABIs' programs here run with *")
    fi
    for what in direct preinst root shell u0_a57; do
      [ $what != preinst ] || [ -f "$payload/$way/preinst.$abi" ] || continue
      got=$(sed -n "s|^device: $way $abi $what: ||p" "$console" | tail -n 1)
      case $what in direct) pattern=${want[0]} ;; preinst) pattern=${want[1]} ;; *) pattern=${want[2]} ;; esac
      # shellcheck disable=SC2053 # a pattern
      [[ $got == $pattern ]] ||
        { sed -n "s|^device: $way $abi $what: ||p" "$console"; echo "FAIL: $way $abi $what (expected: $pattern)"; status=1; }
      echo "$way $abi $what: $got"
    done
  done <"$payload/plan"
  # What ctest said of each build's suites.
  if [ -f "$payload/suites" ]; then
    while read -r build; do
      build=${build##*/}
      got=$(sed -n "s|^device: suites $build: \([0-9]*\)% tests passed, \([0-9]*\) tests failed out of \([0-9]*\)$|\3 \2|p" "$console")
      read -r all failed <<<"${got:-0 0}"
      if [ "$all" = 0 ] || [ "$failed" != 0 ]; then
        sed -n "s|^device: suites $build: ||p" "$console"
        echo "FAIL: $build suites in the virtual machine"
        status=1
      fi
      echo "$build suites in the virtual machine: $((all - failed)) passed, $failed failed"
    done < <(tail -n +2 "$payload/suites")
  fi
  [ $ready = 1 ] || echo "skipped: the self-check on pages of $pages bytes: no build here runs with them" \
    "(each libc.a is older than Android NDK r27's)"
  return $status
}

boot "$@"
