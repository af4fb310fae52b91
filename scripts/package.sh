#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Packs builds into OUT, the same bytes from the same sources wherever and
# whenever it runs. For each build (its build/<target>/target.env names them):
#   <name>-<version>-<target>.tar.gz        the installed tree, under one top folder
#   <name>-<version>-<target>-debug.tar.gz  its programs' debug files, under the same
#                                           folder in lib/debug/.build-id/
#   <name>_<version>_<arch>.deb             for a glibc target: the programs, their
#   <name>-dev_<version>_<arch>.deb         pages and notices; and what other programs
#                                           link, the objects in lib/<multiarch>/;
#                                           for Android, the tree under Termux's prefix
# and once <name>-<version>-source.tar.gz, the sources, and SHA256SUMS; and
# for the Android builds together <name>-<version>-android.tar.gz: each ABI's
# programs and example callers, for packaging/android/install.sh to choose from.
# Entries are sorted, owned by root (0/0), with fixed modes and the time
# SOURCE_DATE_EPOCH, by default the last commit's. With --device, only what
# a device is given: the Android archive.
# usage: package.sh [--device] OUT BUILD_DIR...
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
device=
[ "${1-}" != --device ] || { device=1; shift; }
out=$1
shift
export LC_ALL=C
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$out"

# The sources: what git tracks, or, outside a checkout (an unpacked source
# archive), every file but builds; and their time: the last commit's, or the
# newest file's (an unpacked source archive's entries all have its time).
if [ "$(git -C "$src" rev-parse --show-toplevel 2>/dev/null)" = "$src" ]; then
  git -C "$src" ls-files >"$scratch/sources"
  : "${SOURCE_DATE_EPOCH:=$(git -C "$src" log -1 --format=%ct)}"
else
  (cd "$src" && find . -path ./build -prune -o -path ./dist -prune -o -type f -printf '%P\n') >"$scratch/sources"
  : "${SOURCE_DATE_EPOCH:=$(cd "$src" && xargs -d '\n' stat -c %Y <"$scratch/sources" | sort -n | tail -1)}"
fi
sort -o "$scratch/sources" "$scratch/sources"
export SOURCE_DATE_EPOCH

# tarball FILE DIR [TAR_OPTION...] NAME...: DIR's NAMEs, gzipped with no name or time.
tarball() {
  local file=$1 dir=$2
  shift 2
  tar --create --format=gnu --sort=name --owner=root:0 --group=root:0 \
    --mtime="@$SOURCE_DATE_EPOCH" --mode=u+rw,go=rX -C "$dir" "$@" | gzip -9n >"$file"
}

# In KiB, file by file as dpkg counts: du would count the file system's blocks.
installed_size() {
  find "$1" -type f -printf '%s\n' | awk '{ kib += int(($1 + 1023) / 1024) } END { print kib + 0 }'
}

# debian_package FILE ROOT TOP CONTROL [OPTION...]: ROOT's files, all in its
# folder TOP, as a Debian package with the fields in CONTROL; OPTIONs to dpkg-deb.
debian_package() {
  local file=$1 root=$2 top=$3 control=$4
  shift 4
  mkdir -p "$root/DEBIAN"
  (cd "$root" && find "$top" -type f | sort | xargs md5sum) >"$root/DEBIAN/md5sums"
  { cat "$control"; echo "Installed-Size: $(installed_size "$root/$top")"; } >"$root/DEBIAN/control"
  chmod -R u+rw,go=rX "$root"
  find "$root" -exec touch --no-dereference --date="@$SOURCE_DATE_EPOCH" {} +
  dpkg-deb --root-owner-group -Zxz "$@" --build "$root" "$file" >/dev/null
}

# deb FILE BUILD: the Debian package FILE (<package>_<version>_<arch>.deb):
# the build's install component of the package's name under /usr, with the
# build's control fields for it.
deb() {
  local file=$1 build=$2 root=$scratch/deb package=${1##*/}
  package=${package%%_*}
  rm -rf "$root"
  cmake --install "$build" --prefix "$root/usr" --component "$package" >/dev/null
  [ "$package" != "$package_name" ] ||
    install -D -m 644 "$src/packaging/lintian-overrides" "$root/usr/share/lintian/overrides/$package_name"
  debian_package "$file" "$root" usr "$build/$package.control"
}

# callers BUILD DIR: the build's example callers into DIR, stripped as the
# programs are.
callers() {
  local caller
  for caller in print_wchan namespace_ids; do
    "$target_strip" -o "$2/$caller" "$1/examples/$caller"
  done
}

# termux_deb FILE TREE BUILD: TREE under Termux's prefix, with the example
# callers in bin/ and selftest.sh in share/<name>/, and the build's
# Termux control fields; unchecked, since dpkg-deb warns of the "_" in
# Termux's x86_64, which Termux's dpkg takes (and warns that it does not check).
termux_deb() {
  local file=$1 tree=$2 build=$3 root=$scratch/deb usr
  rm -rf "$root"
  usr=$root/data/data/com.termux/files/usr
  mkdir -p "${usr%/usr}"
  cp -a "$tree" "$usr"
  # The example callers and the self-check, as the Android archive has them.
  callers "$build" "$usr/bin"
  install -D -m 755 "$src/packaging/android/selftest.sh" "$usr/share/$package_name/selftest.sh"
  install -D -m 755 "$build/termux-preinst" "$root/DEBIAN/preinst"
  debian_package "$file" "$root" data "$build/termux-control" --nocheck 2>&1 |
    { grep -vx 'dpkg-deb: warning: not checking contents of control area' || true; } >&2
}

# android_abi_files BUILD TREE: the build's ABI into the Android archive:
# its programs and example callers (stripped as the programs are), its line
# in abis ("<ABI> <Termux architecture> <largest page size its programs run
# with>", for install.sh), and the first build's pages, notices and
# install.sh, the same for every ABI.
android=$scratch/android android_archive= android_install=
android_abi_files() {
  local build=$1 tree=$2 dir=$android/$android_abi
  mkdir -p "$dir"
  cp -a "$tree"/bin/* "$dir/"
  callers "$build" "$dir"
  echo "$android_abi $termux_arch $target_page_size" >>"$android/abis"
  android_archive=$package_android
  [ -n "$android_install" ] || android_install=$build/android-install.sh
  [ -d "$android/share" ] || cp -a "$tree/share" "$android/share"
}

for build in "$@"; do
  # package_name, package_version, package_archive (<name>-<version>-<target>),
  # package_source, package_deb (the Debian packages: none but for glibc
  # targets where Debian's tools are) and package_no_deb (why a glibc target
  # has none): the build names them
  # shellcheck source=/dev/null
  source "$build/target.env"
  top=$scratch/$package_archive
  cmake --install "$build" --prefix "$top/$package_archive" >/dev/null
  if [ -z "$device" ]; then
    tarball "$out/$package_archive.tar.gz" "$top" "$package_archive"
    cmake --install "$build" --prefix "$top/debug/$package_archive" --component debug >/dev/null
    tarball "$out/$package_archive-debug.tar.gz" "$top/debug" "$package_archive"
    if [ -n "$package_deb" ]; then
      for deb in $package_deb; do deb "$out/$deb" "$build"; done
    elif [ -n "$package_no_deb" ]; then
      echo "$package_archive: no Debian or Termux package: $package_no_deb"
    fi
    [ -z "$package_termux" ] || termux_deb "$out/$package_termux" "$top/$package_archive" "$build"
  fi
  [ -z "$package_android" ] || android_abi_files "$build" "$top/$package_archive"
done

# The Android archive, with the scripts that install and check it on a device.
if [ -d "$android" ]; then
  sort -o "$android/abis" "$android/abis"
  # install.sh, with the page-size probe the build spliced in, and selftest.sh.
  cp "$android_install" "$android/install.sh"
  cp "$src/packaging/android/selftest.sh" "$android/"
  tarball "$out/$android_archive" "$scratch" --transform="flags=r;s|^android|${android_archive%.tar.gz}|" android
fi

source=$package_name-$package_version
[ -n "$device" ] || tarball "$out/$package_source" "$src" --transform="flags=r;s|^|$source/|" \
  --files-from="$scratch/sources"

cd "$out"
rm -f SHA256SUMS
sha256sum -- * >"$scratch/SHA256SUMS"
mv "$scratch/SHA256SUMS" SHA256SUMS
