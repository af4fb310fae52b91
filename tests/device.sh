#!/bin/sh
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Run on a booted kernel by its first process, as root, with busybox's
# commands: each Android archive in /payload installed and checked as on a
# device, for each line "<way> <the device's ABI list>" of /payload/plan:
# its programs run directly, the Termux package's preinst, then install.sh
# and selftest.sh as root, as the shell user (uid 2000, in readproc) and as
# an app (uid 10057). Every line it prints begins "device: ", then the
# way, the ABI and who ran it.
# (After a line of its own: the console may begin with a terminal reset.)
echo
kib=$(sed -n 's/^KernelPageSize: *\([0-9]*\) kB$/\1/p' /proc/self/smaps | head -n 1)
echo "device: kernel $(uname -r) $(uname -m), pages of $((kib * 1024)) bytes"
while read -r way abis; do
  abi=${abis%%,*}
  archive=$(echo /payload/"$way"/*-android)
  { "$archive/$abi/greeter" 2>&1; echo "status $?"; } | paste -sd' ' | sed "s|^|device: $way $abi direct: |"
  if [ -f "/payload/$way/preinst.$abi" ]; then
    { sh "/payload/$way/preinst.$abi" install 2>&1; echo "status $?"; } | paste -sd' ' |
      sed "s|^|device: $way $abi preinst: |"
  fi
  for who in root shell u0_a57; do
    to=/data/local/tmp/$way-$abi-$who
    run="env -i PATH=/payload/bin:/bin ABIS=$abis sh $archive/install.sh $to &&
         env -i PATH=/payload/bin:/bin sh $archive/selftest.sh $to"
    if [ $who = root ]; then
      sh -c "$run" 2>&1
    else
      su -s /bin/sh $who -c "$run" 2>&1
    fi | sed "s|^|device: $way $abi $who: |"
  done
done </payload/plan

# The suites of the builds whose programs only a virtual machine runs, on
# the host's own tree: its root read-only over 9p ("host"), its build folder
# writable ("build"), in a chroot. /payload/suites: that folder, then the builds.
if [ -f /payload/suites ]; then
  {
    read -r builds
    mount -t 9p -o trans=virtio,version=9p2000.L,ro host /host &&
      mount -t 9p -o trans=virtio,version=9p2000.L build "/host$builds" &&
      mount -t proc proc /host/proc && mount -t devtmpfs dev /host/dev && mount -t tmpfs tmp /host/tmp ||
      echo "device: suites: the host's tree is not there"
    while read -r build; do
      chroot /host /usr/bin/env -i PATH=/usr/bin:/bin HOME=/tmp \
        ctest --test-dir "$build" -L in_kernel --timeout 120 --output-on-failure 2>&1 |
        sed "s|^|device: suites ${build##*/}: |"
    done
  } </payload/suites
fi
