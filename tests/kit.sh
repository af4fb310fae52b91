#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The driver as users meet it, on a copy of the checkout (the files git
# tracks) in a folder whose name has a space and letters beyond ASCII, with
# no ../shared beside it:
#  - with no NDK and no sysroot, the Android builds are left out, said in
#    one closing line (tests/expected/left-out);
#  - with an NDK alone (the stand-in, copied beside it, where there is one),
#    both ways build from it, each in its own folder: the NDK's own, and
#    the bionic sysroot inside it;
#  - `kit clean` removes the builds and dist/, and keeps the fetched kernels.
# usage: kit.sh SOURCE_DIR [NDK]
set -euo pipefail
src=$1 ndk=${2-}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
top="$scratch/a folder, déjà"
mkdir -p "$top/main"
git -C "$src" ls-files -z | (cd "$src" && tar -c --null -T -) | tar -x -C "$top/main"
kit=$top/main/kit
status=0
unset ANDROID_NDK_HOME ANDROID_NDK_ROOT ANDROID_SYSROOT

got=$("$kit" build android-x86_64 android-x86_64-ndk 2>&1 | tail -n 1)
[ "$got" = "$(cat "$src/tests/expected/left-out")" ] || { echo "with nothing for Android: $got"; status=1; }

if [ -z "$ndk" ]; then
  echo "skipped: building from an NDK alone: no NDK here"
else
  cp -R "$ndk" "$top/ndk"
  if ! ANDROID_NDK_HOME="$top/ndk" "$kit" build android-x86_64 android-x86_64-ndk >"$scratch/ndk.log" 2>&1; then
    cat "$scratch/ndk.log"; echo "from an NDK alone: failed"; status=1
  fi
  for way in android-x86_64 android-x86_64-ndk; do
    [ -x "$top/main/dist/$way/bin/greeter" ] || { echo "from an NDK alone: no $way greeter"; status=1; }
  done
  # Each way in its own folder: the NDK's release only in the NDK way's.
  got=$(cd "$top/main/build" && grep -H '^target_android_ndk=' android-x86_64/target.env android-x86_64-ndk/target.env | xargs)
  [ "$got" = "android-x86_64/target.env:target_android_ndk= android-x86_64-ndk/target.env:target_android_ndk=$(
    sed -n 's/^Pkg\.Revision *= *//p' "$ndk/source.properties")" ] || { echo "the ways' builds: $got"; status=1; }
fi

mkdir -p "$top/main/build/fetched/k" "$top/main/build/host" "$top/main/dist/host"
touch "$top/main/build/fetched/k/vmlinuz"
"$kit" clean
got=$(cd "$top/main" && find . -path './build*' -o -path './dist*' | sort | xargs)
[ "$got" = "./build ./build/fetched ./build/fetched/k ./build/fetched/k/vmlinuz" ] || { echo "kit clean left: $got"; status=1; }
exit $status
