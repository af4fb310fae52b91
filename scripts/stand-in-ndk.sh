#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Prints the NDK that `make test` builds the NDK way with when the environment
# names none: the stand-in beside the checkout, ../shared/android-ndk. A copy
# of it that did not keep symbolic links (some transports flatten them) holds
# each link as a small file whose one line is the link's target; then the
# stand-in is laid out again in build/android-ndk with those links restored,
# once (`make clean` removes it).
# usage: stand-in-ndk.sh
set -euo pipefail
cd "$(dirname "$0")/.."
ndk=$(cd ../shared/android-ndk 2>/dev/null && pwd) || { echo "no ../shared/android-ndk" >&2; exit 1; }

# A flattened link: a file of at most a few hundred bytes (find's -size), one
# word with no newline or NUL byte, naming a path that exists (from the
# file's folder, or absolute). Read by the shell alone: every build of the
# NDK way asks, and a process per file cost a second and a half each time.
flattened() {
  local file=$1 text
  # read stops at a NUL byte, and then succeeds.
  ! IFS= read -r -d '' text <"$file" && [[ -n $text && $text != *[[:space:]]* ]] || return 1
  [[ $text == /* ]] && [ -e "$text" ] || [ -e "${file%/*}/$text" ]
}
mapfile -t links < <(cd "$ndk" && find . -type f -size -512c | sort | while read -r f; do
  flattened "$f" && echo "${f#./}"; done)
if [ ${#links[@]} -eq 0 ]; then
  echo "$ndk"
  exit 0
fi

copy=$PWD/build/android-ndk
if [ -d "$copy" ]; then
  echo "$copy"
  exit 0
fi
# Laid out beside, then moved into place: two builds may ask at once.
mkdir -p build
new=$(mktemp -d "$copy.XXXXXX")
cp -R "$ndk/." "$new"
chmod -R u+w "$new"
for f in "${links[@]}"; do
  text=$(<"$ndk/$f")
  # A target inside the NDK stays relative, to the copy's own file; one outside
  # it (the sysroot beside it, the system's clang) becomes absolute.
  if [[ $text != /* ]]; then
    target=$(realpath -m "$ndk/$(dirname "$f")/$text")
    [[ $target == "$ndk"/* ]] || text=$target
  fi
  ln -sfn "$text" "$new/$f"
done
mv -T "$new" "$copy" 2>/dev/null || rm -rf "$new"
echo "$copy"
