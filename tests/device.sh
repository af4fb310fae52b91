#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# The Android archive's scripts as a device runs them: under mksh, with only
# toybox's commands and a getprop that names the device's ABIs, on this
# build's programs, natively. One way per run:
#   abi                  install.sh's choice for each row of ABI lists
#   root|nobody|hidepid  install.sh, then selftest.sh: as root, as user nobody,
#                        as nobody with /proc mounted hidepid=2 (as apps see it)
#   termux               the greeter of the Termux package, installed into a
#                        scratch root with dpkg --root
# Status 77 (skipped; the reason on standard output): this machine cannot.
# usage: device.sh WAY BUILD_DIR PACKAGES (the build's, as scripts/package.sh packs them)
set -euo pipefail
way=$1 build=$2 out=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
fail() { echo "FAIL: $*"; exit 1; }
# shellcheck source=/dev/null
source "$build/target.env"
tar -xzf "$out/$package_android" -C "$scratch"
dir=$scratch/${package_android%.tar.gz} root=$scratch/root
mkdir -p "$root/var/lib/dpkg/updates" "$scratch/path"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-architecture -i "$out/$package_termux" >/dev/null 2>&1
[ "$way" = abi ] || "$dir/$android_abi/greeter" >/dev/null 2>"$scratch/why" ||
  { echo "skipped: $android_abi programs do not run here: $(sed 's/.*: //' "$scratch/why")"; exit 77; }
if [ "$way" = termux ]; then
  [ "$("$root/data/data/com.termux/files/usr/bin/greeter")" = "Hello, World!" ] || fail "the Termux greeter"; exit 0
fi

mksh=$(command -v mksh) toybox=$(command -v toybox)
for command in $(toybox); do ln -s "$toybox" "$scratch/path/$command"; done
printf '%s\n' "#!$mksh" 'case $1 in ro.product.cpu.abilist) echo "$ABIS" ;;' \
  'ro.product.cpu.abi) echo "${ABIS%%,*}" ;; esac' >"$scratch/path/getprop"
chmod 755 "$scratch/path/getprop"
as=()
# device ABIS SCRIPT ARG...: the archive's SCRIPT, run as on a device whose ABI list is ABIS.
device() { "${as[@]}" env -i PATH="$scratch/path" ABIS="$1" "$mksh" "$dir/$2" "${@:3}"; }

if [ "$way" = abi ]; then
  # Stand-ins for the other ABIs (copies of this build's), with Termux's names.
  printf '%s\n' "arm64-v8a aarch64" "armeabi-v7a arm" "x86 i686" "x86_64 x86_64" >"$dir/abis"
  for abi in arm64-v8a armeabi-v7a x86 x86_64; do [ -d "$dir/$abi" ] || cp -r "$dir/$android_abi" "$dir/$abi"; done
  # The device's ABI list ("-": none, so uname -m, x86_64 here), what install.sh says.
  while read -r abis want; do
    got=$(device "${abis#-}" install.sh "$scratch/$abis" 2>&1) || got="status $?"
    echo "$got"
    [ "${got%%,*}" = "$want" ] || fail "ABIs '$abis': expected $want"
    [ "$want" = "status 1" ] || [ "$(ls "$scratch/$abis" | xargs)" = "batch_idler greeter namespace_ids print_wchan" ]
  done <<'END'
arm64-v8a,armeabi-v7a,armeabi install.sh: took arm64-v8a
armeabi-v7a,armeabi install.sh: took armeabi-v7a
x86_64,x86 install.sh: took x86_64
x86 install.sh: took x86
mips status 1
- install.sh: took x86_64
END
  exit 0
fi

[ "$way" = root ] || { chown -R 65534:65534 "$dir"; as=(setpriv --reuid=65534 --regid=65534 --clear-groups); }
if [ "$way" = hidepid ]; then
  why=$(unshare -m mount -t proc -o hidepid=2 proc /proc 2>&1) || { echo "skipped: no /proc with hidepid=2 here: $why"; exit 77; }
  as=(unshare -m sh -c 'mount -t proc -o hidepid=2 proc /proc && exec "$@"' - "${as[@]}")
fi
device "$android_abi" install.sh
got=$(device "$android_abi" selftest.sh 2>&1) || fail "selftest.sh: status $?: $got"
echo "$got"
[ "${got##*$'\n'}" = "5 passed, 0 failed" ] || fail "selftest.sh counted other checks"
# What an app is told of a process it may not see.
[ "$way" != hidepid ] || [ "$(echo "$got" | grep '^pid 1')" = "pid 1 (to uid 65534): print_wchan: 1 ?, status 0
pid 1 (to uid 65534): namespace_ids: 0 0 0 0 0 0, status 0" ] || fail "pid 1 seen under hidepid=2"
