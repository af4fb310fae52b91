#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Debian's own kernel images, booted under qemu-system, where the programs
# meet a real kernel of their architecture: no kernel or userland is built,
# only fetched (apt-get download, never installed), once, into
# build/fetched/NAME, which `make clean` keeps. The kernels are kernels.tsv's.
#   kernel.sh names | served
#       the kernels' names; the builds they serve (each also built the NDK
#       way, as <build>-ndk), a word each.
#   kernel.sh row NAME
#       the kernel NAME's folder, architecture and builds, a line each.
#   kernel.sh get NAME
#       fetches the kernel NAME: its vmlinuz, busybox (static, for its
#       architecture) and its 9p modules, from its Debian suites. The mirrors
#       are those this system's apt uses; the lists are the kit's own, so the
#       system's apt configuration stays as it is. It says what it fetches,
#       from which suite, and how much, on standard error.
#   kernel.sh archives OUT BUILDS
#       the Android archive of the served builds (folders of BUILDS), as
#       `make package` makes it: OUT/sysroot, and OUT/ndk where each has a
#       build the NDK way too.
#   kernel.sh payload OUT ARCHIVES ARCH PRESET...
#       what a booted kernel is given of the archives: each way's archive,
#       the preinst that each ABI's Termux package carries (from its build),
#       scripts/getprop, and plan: a line "<way> <ABI list>" for each
#       PRESET's ABI, the list that of a device whose ABIs are it and those
#       after it; and, where ARCH is this machine's kind, suites: the builds
#       whose suites a virtual machine runs.
#   kernel.sh boot DIR ARCH PAYLOAD [TAG=FOLDER[:ro]...]
#       boots DIR's kernel with an initramfs of busybox and PAYLOAD (a folder):
#       its run.sh is run as root, then, where PAYLOAD has a file "shell", a
#       shell on the console, and the machine powers off. Each FOLDER of this
#       machine is offered over 9p, named TAG; where PAYLOAD has suites, this
#       machine's root (host, read-only) and the builds' folder (build).
#       The console is standard input and output.
#   kernel.sh shell NAME
#       boots the kernel NAME with the Android archive of the builds it
#       serves installed as on a device, into /data/local/tmp/bin, and gives
#       a shell on the console (Ctrl-A X ends qemu).
# Exit status 3: this machine cannot fetch or boot (the reason on one line).
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
table=$src/kernels.tsv
scratch=()
trap 'rm -rf "${scratch[@]}"' EXIT
cannot() { echo "$*" >&2; exit 3; }

# The suite of fetch's lists (its options) that serves PACKAGE: from PACKAGE
from() {
  apt-cache "${options[@]}" policy "$1" |
    awk '/Candidate:/ { c = $2 } c != "" && $1 == c { getline; sub("/.*", "", $3); print $3; exit }'
}

fetch() {
  local dir arch=$2 package=$3 apt
  mkdir -p "$1" && dir=$(cd "$1" && pwd) apt=$dir/apt
  shift 3
  # The modules the suites' mounts need: 9p over virtio, and overlayfs. A
  # folder fetched for another list is fetched again.
  local wanted=(fs/9p net/9p fs/netfs fs/fscache drivers/virtio fs/overlayfs)
  [ ! -s "$dir/vmlinuz" ] || [ ! -s "$dir/busybox" ] || [ "$(cat "$dir/modules/list" 2>/dev/null)" != "${wanted[*]}" ] ||
    return 0
  command -v apt-get >/dev/null && command -v dpkg-deb >/dev/null ||
    cannot "apt-get or dpkg-deb not found: no Debian kernel can be fetched"
  mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$dir/debs"
  # The system's Debian mirrors: one for the archive, one for security
  # updates. A system that lists no security archive is not asked for one.
  local mirrors main security suite
  mirrors=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' 2>/dev/null | sort -u)
  main=$(awk '$2 !~ /-security$/ { print $1; exit }' <<<"$mirrors")
  security=$(awk '$2 ~ /-security$/ { print $1; exit }' <<<"$mirrors")
  [ -n "$main" ] || cannot "this system's apt names no Debian mirror"
  for suite in "$@"; do
    if [[ $suite != *-security ]]; then
      echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $main $suite main"
    elif [ -n "$security" ]; then
      echo "deb [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $security $suite main"
    fi
  done >"$apt/sources.list"
  local options=(-qq -o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/parts"
    -o "Dir::Etc::PreferencesParts=$apt/parts" -o "Dir::Etc::Preferences=$apt/parts/none"
    -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o "Dir::State::Status=/dev/null"
    -o "APT::Architecture=$arch" -o "APT::Architectures=$arch" -o Acquire::Languages=none -o "APT::Sandbox::User=$(id -un)")
  # A suite whose index fails (missing, or a broken hash) is left out; the
  # others may still serve the kernel.
  local failed
  failed=$(apt-get "${options[@]}" update 2>&1 | sed -n 's/^[WE]: //p' | grep -v '^Some index files failed' | sed 's/ *\[IP: [^]]*\]$//' | head -n 1) || true
  # The metapackage names the kernel of the day.
  local image uris
  image=$(apt-cache "${options[@]}" depends "$package" 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-[^ ]*\).*/\1/p' | head -1)
  [ -n "$image" ] || cannot "$package: no kernel image in ${*}${failed:+ ($failed)}"
  uris=$(cd "$dir/debs" && apt-get "${options[@]}" download --print-uris "$image" busybox-static) ||
    cannot "$image, busybox-static: not to be had from ${*}"
  echo "$(basename "$dir"): fetching $image from $(from "$image") and busybox-static from" \
    "$(from busybox-static): $(awk '{ n += $3 } END { printf "%.1f", n / 1e6 }' <<<"$uris") MB${failed:+ ($failed)}" >&2
  (cd "$dir/debs" && apt-get "${options[@]}" download "$image" busybox-static) ||
    cannot "apt-get download $image busybox-static failed"
  local modules=$dir/modules
  rm -rf "$modules" && mkdir -p "$modules"
  local patterns=('./boot/vmlinu*' './lib/modules/*/modules.dep') module
  for module in "${wanted[@]}"; do patterns+=("./lib/modules/*/kernel/$module/*"); done
  dpkg-deb --fsys-tarfile "$dir"/debs/linux-image-*.deb |
    tar -x -C "$modules" --wildcards --strip-components=1 "${patterns[@]}" 2>/dev/null || true
  echo "${wanted[*]}" >"$modules/list"
  dpkg-deb --fsys-tarfile "$dir"/debs/busybox-static*.deb | tar -x -O --wildcards "*/bin/busybox" >"$dir/busybox.new"
  mv "$modules"/boot/vmlinu* "$dir/vmlinuz.new" && rmdir "$modules/boot"
  chmod 755 "$dir/busybox.new"
  mv "$dir/busybox.new" "$dir/busybox"
  mv "$dir/vmlinuz.new" "$dir/vmlinuz"
  rm -rf "$dir/debs" "$apt"
}

archives() {
  local out=$1 builds=$2 way suffix preset dirs
  set -- $(served)
  rm -rf "$out"
  for way in sysroot ndk; do
    suffix=${way/sysroot/} suffix=${suffix:+-$suffix} dirs=()
    for preset in "$@"; do
      [ -f "$builds/$preset$suffix/target.env" ] || continue 2
      dirs+=("$builds/$preset$suffix")
    done
    "$src/scripts/package.sh" --device "$out/$way" "${dirs[@]}"
  done
  mkdir -p "$out"
}

payload() {
  local out=$1 archives=$2 arch=$3 way suffix preset abis i build here
  shift 3
  local presets=("$@")
  here=$(uname -m) here=${here/x86_64/amd64} here=${here/aarch64/arm64}
  install -D "$src/scripts/getprop" "$out/bin/getprop"
  install -m 644 "$src/packaging/android/page-size.sh" "$out/page-size.sh"
  for way in "$archives"/*/; do
    way=$(basename "$way") suffix=${way/sysroot/} suffix=${suffix:+-$suffix} abis=()
    mkdir "$out/$way"
    tar -xzf "$archives/$way"/*-android.tar.gz -C "$out/$way"
    for preset in "$@"; do
      abis+=("$(. "$src/build/$preset$suffix/target.env" && echo "$android_abi")")
    done
    for ((i = 0; i < ${#abis[@]}; i++)); do
      echo "$way $(IFS=,; echo "${abis[*]:i}")" >>"$out/plan"
      # The preinst of the ABI's Termux package, where Debian's tools make one.
      build=$src/build/${presets[i]}$suffix
      [ -z "$(. "$build/target.env" && echo "$package_termux")" ] ||
        cp "$build/termux-preinst" "$out/$way/preinst.${abis[i]}"
    done
    # The builds whose suites a virtual machine runs (target.env says which),
    # one a line in suites, and the checkout: physical paths, the guest's
    # mounts cannot follow this machine's symbolic links.
    for preset in "$@"; do
      if [ "$arch" = "$here" ] &&
        [ "$(. "$src/build/$preset$suffix/target.env" && echo "${target_suites_in_kernel-}")" = ON ]; then
        (cd "$src/build/$preset$suffix" && pwd -P) >>"$out/suites"
      fi
    done
    [ ! -f "$out/suites" ] || (cd "$src" && pwd -P) >"$out/checkout"
  done
}

names() { awk '!/^#/ && NF { print $1 }' "$table"; }
served() { awk '!/^#/ && NF { gsub(",", "\n", $5); print $5 }' "$table" | awk '!seen[$0]++'; }

# row NAME: sets kernel to its folder, architecture and builds, and row to
# its line of the table; get NAME: fetches it too.
row() {
  row=($(awk -v name="$1" '!/^#/ && $1 == name' "$table"))
  [ ${#row[@]} = 5 ] || { echo "kernel.sh: no kernel $1 in kernels.tsv ($(names | xargs))" >&2; exit 2; }
  kernel=("$src/build/fetched/$1" "${row[1]}" ${row[4]//,/ })
}
get() {
  row "$1"
  fetch "${kernel[0]}" "${row[1]}" "${row[2]}" ${row[3]//,/ }
}

shell() {
  local name=$1 kernel here
  get "$name"
  here=$(mktemp -d) && scratch+=("$here")
  archives "$here/archives" "$src/build"
  payload "$here/payload" "$here/archives" "${kernel[1]}" "${kernel[@]:2}"
  touch "$here/payload/shell"
  # As on a device of the kernel's first ABI list, root installs the way
  # without an NDK; PATH leads to it.
  cat >"$here/payload/run.sh" <<'EOF'
set -- $(grep -m 1 '^sysroot ' /payload/plan)
way=$1 abis=$2 archive=$(echo /payload/$1/*-android)
ABIS=$abis PATH=/payload/bin:/bin sh $archive/install.sh /data/local/tmp/bin
echo "export ABIS=$abis PATH=/data/local/tmp/bin:/payload/bin:/bin" >/.profile
echo "sh $archive/selftest.sh /data/local/tmp/bin checks them; each archive is in /payload; exit powers off"
EOF
  boot "${kernel[0]}" "${kernel[1]}" "$here/payload"
}

# The first process: the mounts a device has, /proc as Android mounts it
# (only the group readproc, 3009, sees other users' processes), 9p where
# there are shares, then PAYLOAD's run.sh, a shell if asked for, power off.
init='#!/bin/busybox sh
/bin/busybox --install -s /bin
export PATH=/bin
mount -t devtmpfs dev /dev
mount -t proc -o hidepid=2,gid=3009 proc /proc
mount -t sysfs sys /sys
mount -t tmpfs tmp /tmp
chmod 1777 /tmp /data/local/tmp
if [ -d /lib/modules ]; then depmod && modprobe virtio_pci && modprobe 9pnet_virtio && modprobe 9p && modprobe overlay || echo "init: no 9p or overlay"; fi
[ ! -f /payload/run.sh ] || sh /payload/run.sh
[ ! -f /payload/shell ] || setsid cttyhack sh -l
poweroff -f'

boot() {
  local dir=$1 arch=$2 payload=$3 root share virtfs=()
  shift 3
  command -v cpio >/dev/null || cannot "cpio not found: no initramfs to boot with"
  root=$(mktemp -d) && chmod 755 "$root" && scratch+=("$root" "$root.cpio.gz")
  mkdir -p "$root"/{bin,dev,etc,host,proc,sys,tmp,data/local/tmp}
  cp "$dir/busybox" "$root/bin/busybox"
  cp -a "$payload" "$root/payload"
  printf '%s\n' "$init" >"$root/init"
  chmod 755 "$root/init"
  # Android's users: the shell user, in readproc; an app, in no group but its own.
  printf '%s\n' root:x:0:0::/:/bin/sh shell:x:2000:2000::/data/local/tmp:/bin/sh \
    u0_a57:x:10057:10057::/data/local/tmp:/bin/sh >"$root/etc/passwd"
  printf '%s\n' root:x:0: shell:x:2000: readproc:x:3009:shell u0_a57:x:10057: >"$root/etc/group"
  [ ! -f "$payload/suites" ] || set -- "$@" host=/:ro "build=$(dirname "$(head -n 1 "$payload/suites")")"
  for share in "$@"; do
    local tag=${share%%=*} path=${share#*=} ro=
    [[ $path != *:ro ]] || ro=,readonly=on path=${path%:ro}
    virtfs+=(-virtfs "local,path=$path,mount_tag=$tag,security_model=none,multidevs=remap$ro")
  done
  [ $# = 0 ] || cp -a "$dir/modules/lib" "$root/"
  (cd "$root" && find . | cpio --quiet -o -H newc -R 0:0) | gzip -1 >"$root.cpio.gz"

  local qemu machine console
  case $arch in
    amd64) qemu=qemu-system-x86_64 machine=(-machine pc -cpu max) console=ttyS0 ;;
    # max: every page size (the cortex models have no 16 KiB granule), and
    # 32-bit programs at EL0, as most Arm devices run armeabi-v7a. Without
    # SVE, as most devices: no program here uses it, and emulating it costs.
    arm64) qemu=qemu-system-aarch64 machine=(-machine virt -cpu max,pauth-impdef=on,sve=off) console=ttyAMA0 ;;
    # The 32-bit kernels of devices that run their ABI alone.
    armhf) qemu=qemu-system-arm machine=(-machine virt -cpu cortex-a15) console=ttyAMA0 ;;
    i386) qemu=qemu-system-i386 machine=(-machine pc -cpu max) console=ttyS0 ;;
    *) echo "kernel.sh: no machine for $arch" >&2; return 2 ;;
  esac
  command -v "$qemu" >/dev/null || cannot "$qemu not found"
  # KVM where the guest is of the host's kind and KVM works for this user:
  # the kernel, booted with no root file system, must reach its panic (a
  # nested KVM may fail to start a guest, or start it and never run it).
  if [ "$arch" = amd64 ] && [ "$(uname -m)" = x86_64 ] && [ -r /dev/kvm ] && [ -w /dev/kvm ]; then
    local kvm=(-machine pc,accel=kvm -cpu host)
    [ -f "$dir/kvm.$(id -u)" ] ||
      timeout 30 "$qemu" "${kvm[@]}" -m 256 -nographic -no-reboot -kernel "$dir/vmlinuz" \
        -append "console=$console panic=-1" </dev/null 2>&1 | grep -c 'Kernel panic' >"$dir/kvm.$(id -u)" || true
    [ "$(cat "$dir/kvm.$(id -u)")" = 0 ] || machine=("${kvm[@]}")
  fi
  # The suites take a second processor: TCG runs one a host thread.
  local smp=1
  [ ! -f "$payload/suites" ] || smp=2
  "$qemu" "${machine[@]}" -m 512 -smp $smp -nographic -nic none -no-reboot "${virtfs[@]}" \
    -kernel "$dir/vmlinuz" -initrd "$root.cpio.gz" -append "console=$console panic=-1 quiet"
}

case ${1-} in
  names | served | archives | payload | boot | shell) "$@" ;;
  get) get "$2" ;;
  row) row "$2" && printf '%s\n' "${kernel[0]}" "${kernel[1]}" "${kernel[*]:2}" ;;
  *) echo "usage: kernel.sh names|served|row|get|archives|payload|boot|shell ARG... (see its first lines)" >&2; exit 2 ;;
esac
