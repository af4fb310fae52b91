#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The Android builds on a real kernel, as on a device:
#   kernel.sh NAME ARCHIVES NOTES
# fetches the kernel NAME of kernels.tsv and boots it (scripts/kernel.sh)
# with the archives in ARCHIVES (`scripts/kernel.sh archives`), where
# tests/device.sh runs them as on a device whose ABI list begins with each
# of the builds' ABI that kernels.tsv names and goes on with those after it;
# and, where this host's kernel runs none of a build's programs, its suites. Then it judges the last line the
# device printed of each: where the archive's abis file says an ABI's
# programs run with the kernel's pages, they run, the Termux package's
# preinst lets them in and selftest.sh passes for root, the shell user and an
# app; where it says they do not, they indeed fail, and the preinst and
# install.sh refuse.
# Status 3, with the reason on one line, also noted in NOTES/NAME: no kernel
# or machine to boot here.
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
name=$1 archives=$2 notes=$3
{ read -r dir && read -r arch && read -r builds; } <<<"$("$src/scripts/kernel.sh" row "$name")"
# shellcheck disable=SC2086 # the builds, one word each
set -- $builds
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
payload=$scratch/payload console=$scratch/console
rm -f "$notes/$name"
# skipped WHY: what was not run here, noted for the driver to show.
skipped() {
  local nowhere=
  [ ! -f "$payload/suites" ] || nowhere=$(while read -r build; do
    (. "$build/target.env" && [ -z "$target_cannot_run" ] || echo "${build##*/}"); done <"$payload/suites" | xargs)
  [ -z "$nowhere" ] || nowhere="; so the suites of $nowhere, which run only in this virtual machine, ran nowhere"
  mkdir -p "$notes" && echo "kernel_$name: skipped: $1$nowhere" | tee "$notes/$name"
  exit 3
}
[ -n "$(ls "$archives")" ] || skipped "no Android archive to boot with: no build of every one of $builds, either way"
"$src/scripts/kernel.sh" payload "$payload" "$archives" "$arch" "$@"
"$src/scripts/kernel.sh" get "$name" 2>"$scratch/fetch" || { [ $? != 3 ] || skipped "$(tail -n 1 "$scratch/fetch")"; cat "$scratch/fetch"; exit 1; }
cp "$src/tests/device.sh" "$payload/run.sh"
started=$SECONDS
"$src/scripts/kernel.sh" boot "$dir" "$arch" "$payload" </dev/null 2>"$scratch/boot" | tr -d '\r' >"$console" ||
  [ "${PIPESTATUS[0]}" != 3 ] || skipped "$(cat "$scratch/boot")"
cat "$scratch/boot"
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
# The line each check's last must match (tests/expected/device-verdicts):
# verdict runs|refused|suites [WHAT], with the pages' sizes filled in.
verdict() { sed -n "s/^$*: //p" "$src/tests/expected/device-verdicts" | sed "s/PAGES/$pages/g; s/SERVED/${served-}/g"; }
ready=0
while read -r way abis; do
  abi=${abis%%,*}
  served=$(sed -n "s/^$abi [^ ]* \([0-9]*\)$/\1/p" "$payload/$way"/*-android/abis)
  # Programs for smaller pages must fail there, and be refused.
  kind=refused
  [ "$served" -lt "$pages" ] || kind=runs ready=1
  check "$way $abi direct" "$(verdict $kind direct)"
  [ ! -f "$payload/$way/preinst.$abi" ] || check "$way $abi preinst" "$(verdict $kind preinst)"
  for who in root shell u0_a57; do check "$way $abi $who" "$(verdict $kind installed)"; done
done <"$payload/plan"
[ ! -f "$payload/suites" ] || while read -r build; do
  check "suites ${build##*/}" "$(verdict suites)"
done <"$payload/suites"
[ $ready = 1 ] || echo "skipped: the self-check on pages of $pages bytes: no build here runs with them" \
  "(each libc.a is older than Android NDK r27's)"
exit $status
