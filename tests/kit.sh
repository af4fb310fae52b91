#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The driver as users meet it, on a copy of the checkout (the files git
# tracks) in a folder whose name has a space and letters beyond ASCII, with
# no ../shared beside it:
#  - with no NDK and no sysroot, the Android builds are left out, said in
#    one closing line (tests/expected/left-out);
#  - with an NDK alone (the stand-in, wherever there is one), the sysroot
#    way builds from the bionic sysroot inside it, as a build of its own
#    (the NDK way is the -ndk presets' everywhere);
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
  if ! ANDROID_NDK_HOME=$ndk "$kit" build android-x86_64 >"$scratch/ndk.log" 2>&1; then
    cat "$scratch/ndk.log"; echo "from an NDK alone: failed"; status=1
  fi
  [ -x "$top/main/dist/android-x86_64/bin/greeter" ] || { echo "from an NDK alone: no greeter"; status=1; }
  # The sysroot way's own folder, with no NDK's release in it.
  got=$(grep -H '^target_android_ndk=' "$top/main/build/android-x86_64/target.env" | sed 's|.*/build/||')
  [ "$got" = "android-x86_64/target.env:target_android_ndk=''" ] || { echo "the sysroot way's build: $got"; status=1; }
fi

mkdir -p "$top/main/build/fetched/k" "$top/main/build/host" "$top/main/dist/host"
touch "$top/main/build/fetched/k/vmlinuz"
"$kit" clean
got=$(cd "$top/main" && find . -path './build*' -o -path './dist*' | sort | xargs)
[ "$got" = "./build ./build/fetched ./build/fetched/k ./build/fetched/k/vmlinuz" ] || { echo "kit clean left: $got"; status=1; }
exit $status
