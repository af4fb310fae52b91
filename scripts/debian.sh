#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The README's two commands, `make` then `make test`, as a new user runs them:
# in a fresh Debian tree (minbase, with git, make and ca-certificates) made by
# mmdebstrap, holding a copy of this checkout (its commit, with the changes and
# untracked files git does not ignore, without build/ or dist/) in /src/main,
# where user nobody reaches it as the tests want, and of ../shared in
# /src/shared. They run as root with the tree as their root, and the /proc,
# /sys and /dev mmdebstrap mounts for its hooks; not as root, in its unshare
# mode. Prints each command's last lines and wall time (the whole output goes
# to build/debian-RELEASE-ARCH/), and exits non-zero when one fails. The tree is
# mmdebstrap's own temporary one, unmounted and removed by it; apt's downloads
# are kept in build/debian-RELEASE-ARCH/archives for the next run.
# With ARCH (arm64, say), the tree is of that architecture, its programs
# run under qemu-user through binfmt_misc, and each test may take an hour.
# usage: debian.sh 12|13 [ARCH]
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = inside ]; then
  # mmdebstrap's customize hook: inside RELEASE LOGS ROOT.
  release=$2 logs=$3 root=$4
  for command in make "make test"; do
    log=$logs/${command// /-}.log
    start=$SECONDS
    status=0
    # In a mount namespace of its own, which takes every mount with it, the
    # tree made its root as a machine's is (pivot_root, not chroot: in a chroot
    # no user namespace can be made, nor the root's mounts made private), with
    # a /proc that can be written (mmdebstrap's is read-only: no user namespace
    # could be mapped) and root's login environment, not this one's.
    # shellcheck disable=SC2016 # the inner shell's variables
    unshare -m sh -c 'mount --rbind "$1" "$1" && mount -t proc proc "$1/proc" && cd "$1" &&
      pivot_root . . && umount -l . &&
      exec /usr/bin/env -i HOME=/root PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
      KIT_TEST_TIMEOUT="$3" sh -c "cd /src/main && $2"' sh "$root" "$command" "${KIT_TEST_TIMEOUT-}" >"$log" 2>&1 ||
      status=$?
    seconds=$((SECONDS - start))
    echo "Debian $release ${logs##*-}: $command: status $status, $((seconds / 60)) min $((seconds % 60)) s; its last lines:"
    tail -n 12 "$log" | sed 's/^/  /'
    # Failing here would stop mmdebstrap before it keeps the downloads.
    [ $status -eq 0 ] || { echo "$command" >"$logs/failed"; break; }
  done
  exit 0
fi

case ${1:-} in
  12) suite=bookworm ;;
  13) suite=trixie ;;
  *) echo "usage: debian.sh 12|13 [ARCH]" >&2; exit 2 ;;
esac
release=$1 arch=${2:-$(dpkg --print-architecture)}
scripts/deps.sh debian
if [ "$arch" != "$(dpkg --print-architecture)" ]; then
  # Another architecture's tree runs under qemu-user, which binfmt_misc
  # hands its programs to.
  command -v qemu-aarch64-static >/dev/null && command -v arch-test >/dev/null ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq qemu-user-static arch-test >/dev/null
  [ -f /proc/sys/fs/binfmt_misc/status ] || mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  # Without flags O and C: with them the kernel hands each program its own
  # file on its lowest free descriptor, standard input where that is closed,
  # as no machine of that architecture does.
  for conf in /usr/lib/binfmt.d/qemu-*.conf; do
    entry=/proc/sys/fs/binfmt_misc/$(cut -d: -f2 "$conf")
    ! grep -q '^flags: .*[OC]' "$entry" 2>/dev/null || echo -1 >"$entry"
    [ -e "$entry" ] || awk -F: -v OFS=: '{ gsub(/[OC]/, "", $NF); print }' "$conf" >/proc/sys/fs/binfmt_misc/register
  done
  # Under emulation every test takes many times as long.
  export KIT_TEST_TIMEOUT=3600
fi
if [ "$(id -u)" -eq 0 ]; then mode=root; else mode=unshare; fi
shared=$(realpath ../shared)
logs=$PWD/build/debian-$release-$arch archives=$PWD/build/debian-$release-$arch/archives
mkdir -p "$archives"
rm -f "$logs"/*.log "$logs/failed"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A checkout, as a newcomer's is (the tools that ask git which files are the
# project's then see the same), at this one's commit and with its changes: the
# files changed or added and not ignored, those deleted gone.
git clone -q --depth 1 "file://$PWD" "$work/main"
git ls-files -z --modified --others --exclude-standard |
  while IFS= read -r -d '' f; do if [ -e "$f" ]; then printf '%s\0' "$f"; else rm -f "$work/main/$f"; fi; done |
  tar -c --null -T - | tar -x -C "$work/main"
tar -c -f "$work/main.tar" -C "$work/main" --owner=0 --group=0 --numeric-owner .
tar -c -f "$work/shared.tar" -C "$shared" --owner=0 --group=0 --numeric-owner .

start=$SECONDS
# shellcheck disable=SC2016 # $1 is the hooks' own: the tree
mmdebstrap --mode="$mode" --variant=minbase --architectures="$arch" --include=git,make,ca-certificates \
  --skip=essential/unlink \
  --setup-hook='mkdir -p "$1/var/cache/apt/archives"' \
  --setup-hook="sync-in $archives /var/cache/apt/archives" \
  --customize-hook='mkdir -p "$1/src/main" "$1/src/shared"' \
  --customize-hook="tar-in $work/main.tar /src/main" \
  --customize-hook="tar-in $work/shared.tar /src/shared" \
  --customize-hook="KIT_TEST_TIMEOUT=${KIT_TEST_TIMEOUT-} '$PWD/scripts/debian.sh' inside $release '$logs' \"\$1\"" \
  --customize-hook="sync-out /var/cache/apt/archives $archives" \
  "$suite" /dev/null
seconds=$((SECONDS - start))
echo "Debian $release $arch: the whole run, the tree made and removed: $((seconds / 60)) min $((seconds % 60)) s"
if [ -e "$logs/failed" ]; then
  echo "Debian $release $arch: $(cat "$logs/failed") failed; its output: $logs" >&2
  exit 1
fi
