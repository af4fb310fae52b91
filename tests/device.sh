#!/bin/sh
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Run on a booted kernel by its first process, as root, with busybox's
# commands: each Android archive in /payload installed and checked as on a
# device, for each line "<way> <the device's ABI list>" of /payload/plan:
# its programs run directly, the Termux package's preinst, then install.sh
# and selftest.sh as root, as the shell user (uid 2000, in readproc) and as
# an app (uid 10057); meanwhile, the suites of /payload/suites (below). Every line
# it prints begins "device: <way> <ABI> <what>: " or "device: suites <build>: ".
# (After a line of its own: the console may begin with a terminal reset.)
echo
. /payload/page-size.sh
echo "device: kernel $(uname -r) $(uname -m), pages of $pagesize bytes"
# The suites of the builds whose suites the virtual machine runs
# (/payload/suites), on the host's own tree, in a chroot: its root read-only
# over 9p ("host"), where the chroot gets its /proc, /dev and a writable /tmp
# that hides nothing (an overlay on the host's: a logical path may lead
# through it); then, from a second view of the root, the checkout
# (/payload/checkout) wherever it lies, and over it the builds' folder,
# writable ("build"), at the host's physical paths. They run beside the
# device's checks, whose waits they fill. The guest keeps what it reads of
# both (cache=loose): what the suites read does not change while they run,
# and they take half the time.
suites() {
  builds=$(dirname "$(head -n 1 /payload/suites)") checkout=$(cat /payload/checkout)
  p9='-t 9p -o trans=virtio,version=9p2000.L,cache=loose'
  mkdir -p /mnt/host /mnt/tmp && mount $p9,ro host /mnt/host && mount --bind /mnt/host /host &&
    mount -t tmpfs tmp /mnt/tmp && mkdir -m 1777 /mnt/tmp/upper && mkdir /mnt/tmp/work &&
    mount -t overlay -o lowerdir=/mnt/host/tmp,upperdir=/mnt/tmp/upper,workdir=/mnt/tmp/work tmp /host/tmp &&
    mount -t proc proc /host/proc && mount -t devtmpfs dev /host/dev &&
    mkdir -p "/host$checkout" && mount --bind "/mnt/host$checkout" "/host$checkout" &&
    mkdir -p "/host$builds" && mount $p9 build "/host$builds"
  while read -r build; do
    # Its summary last.
    chroot /host /usr/bin/env -i PATH=/usr/bin:/bin HOME=/tmp ctest --test-dir "$build" -L in_kernel --timeout 120 -j "$(nproc)" \
      --output-on-failure >/tmp/suites 2>&1
    { cat /tmp/suites; grep '% tests passed' /tmp/suites; } | sed "s|^|device: suites ${build##*/}: |"
  done </payload/suites
}
[ ! -f /payload/suites ] || suites >/tmp/suites.out 2>&1 &

while read -r way abis; do
  abi=${abis%%,*} archive=$(echo /payload/"$way"/*-android)
  preinst=/payload/$way/preinst.$abi
  { "$archive/$abi/greeter" 2>&1; echo "status $?"; } | paste -sd' ' | sed "s|^|device: $way $abi direct: |"
  [ ! -f "$preinst" ] || { sh "$preinst" install 2>&1; echo "status $?"; } | paste -sd' ' |
    sed "s|^|device: $way $abi preinst: |"
  for who in root shell u0_a57; do
    to=/data/local/tmp/$way-$abi-$who
    su -s /bin/sh $who -c "env -i PATH=/payload/bin:/bin ABIS=$abis sh $archive/install.sh $to &&
      env -i PATH=/payload/bin:/bin sh $archive/selftest.sh $to" 2>&1 | sed "s|^|device: $way $abi $who: |"
  done
done </payload/plan
wait
[ ! -f /tmp/suites.out ] || cat /tmp/suites.out
