#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Packs a build twice, as `make package` does (the second time in nobody's
# run, below, where there is one), and checks the result: the same bytes
# both times; exactly the packages named; each archive holding
# exactly the tree the build installs under one top folder, or (the debug
# archive) a debug file for each of its programs under their build-ids; the
# two Debian packages (the programs; the -dev package, its objects in
# /usr/lib/<triplet>/) with their folders, architecture, version and
# Multi-Arch, together the tree, that lintian finds no error or warning in;
# and built against as Debian's cross builds do (see below). On Android: a Termux
# package holding the tree under Termux's prefix, whose greeter runs once
# dpkg --root has installed it into a scratch root; and the Android archive's
# scripts run as on a device, under mksh with only toybox's commands and a
# getprop that names the device's ABIs: install.sh's choice for each row of
# ABI lists, and install.sh then selftest.sh as this user, as uid 2000 (the
# device's shell user, here with no name), and as nobody with /proc mounted
# hidepid=2 (as apps see it). What this
# machine cannot run is skipped, and the reason said. Passing, it leaves
# the packages' SHA256SUMS in BUILD_DIR/packages.sha256 (but for nobody's
# run, below, which checks its own against them).
# usage: packages.sh [--not-as-root] SOURCE_DIR BUILD_DIR HOST_BUILD_DIR VERSION PACKAGE...
set -euo pipefail

# --not-as-root: as root, the rest runs as user nobody, as it would for one
# who is not root (CI runs as root): with the build folders theirs, as their
# own builds would be (cmake --install writes its manifest there: copies,
# mounted where the builds are for this run alone), git told that the
# checkout is safe, a home of their own, and a user's PATH, without the sbin
# folders. Not as root, that is how it runs. It follows the run as root
# (a fixture): where that run's packages.sha256 is there, nobody's packages
# must be the same bytes, and what that run checked of them (lintian, the
# Android archive's scripts, which it ran as nobody too) is not done again;
# what a user does otherwise (cmake --install, packing, dpkg, building
# against the -dev packages) is.

# Why nobody's run cannot be made here, if it cannot.
cannot=
[ "$(id -u)" = 0 ] || cannot="not root: packages_hold_the_installed_tree runs as this user"
[ -n "$cannot" ] || why=$(unshare -m true 2>&1) || cannot="no mount namespace here for builds of nobody's own: $why"
[ -n "$cannot" ] || setpriv --reuid=65534 --regid=65534 --clear-groups test -x "$0" || cannot="user nobody cannot reach the checkout ($0)"
# nobody's dpkg runs in a user namespace of its own (dpkg_root).
[ -n "$cannot" ] || why=$(setpriv --reuid=65534 --regid=65534 --clear-groups unshare --map-root-user true 2>&1) ||
  cannot="user nobody cannot make a user namespace here: $why"
if [ "${1-}" = --not-as-root ]; then
  shift
  [ -z "$cannot" ] || { echo "skipped: $cannot"; exit 77; }
  theirs=$(mktemp -d)
  trap 'rm -rf "$theirs"' EXIT
  chmod 755 "$theirs"
  mkdir -m 777 "$theirs/home"
  # shellcheck disable=SC2016 # the inner shell's variables
  unshare -m bash -euc '
    theirs=$1 script=$2
    shift 2
    for dir in "$2" "$3"; do
      copy=$theirs/build${dir//\//_}
      [ ! -d "$copy" ] || continue
      cp -a "$dir" "$copy" && chown -R 65534:65534 "$copy" && mount --bind "$copy" "$dir"
    done
    path=$(tr : "\n" <<<"$PATH" | grep -v sbin | paste -sd:)
    exec setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$theirs/home" PATH="$path" PACKAGES_RERUN=1 \
      GIT_CONFIG_COUNT=1 GIT_CONFIG_KEY_0=safe.directory GIT_CONFIG_VALUE_0="$1" "$script" "$@"' \
    - "$theirs" "$0" "$@"
  exit
fi
src=$1 build=$2 host_build=$3 version=$4
shift 4
expected=$src/tests/expected
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chmod 755 "$scratch"
# package_android and package_termux (empty but on Android), android_abi
# shellcheck source=/dev/null
source "$build/target.env"

# Every path with its type and mode, then every file's content.
same_tree() {
  local got=$1 want=$2
  diff <(cd "$got" && find . -printf '%y %m %p\n' | sort) \
       <(cd "$want" && find . -printf '%y %m %p\n' | sort) &&
    diff -r "$got" "$want"
}

# dpkg_root ROOT ARG...: dpkg on the scratch root ROOT, its log there too;
# with the sbin folders on its PATH, which a user's lacks, where it wants
# ldconfig and start-stop-daemon. What it says is shown when it fails.
dpkg_root() {
  local root=$1 as=()
  shift
  # Not as root, dpkg is root in a user namespace of its own, so that it
  # may run the maintainer scripts chrooted into ROOT, as dpkg --root does.
  [ "$(id -u)" = 0 ] || as=(unshare --map-root-user)
  mkdir -p "$root/var/lib/dpkg/updates" && touch "$root/var/lib/dpkg/status"
  PATH=$PATH:/usr/sbin:/sbin "${as[@]}" dpkg --root="$root" --log="$root/dpkg.log" "$@" >"$scratch/dpkg" 2>&1 ||
    { cat "$scratch/dpkg"; echo "dpkg --root=$root $* failed"; false; }
}

# runs PROGRAM: whether it runs here; if not, says why.
runs() { "$1" >/dev/null 2>"$scratch/why" || { echo "skipped: $android_abi programs do not run here: $(sed 's/.*: //' "$scratch/why")"; false; }; }
# device ABIS SCRIPT ARG...: the Android archive's SCRIPT run, through the
# commands in $as, as on a device whose ABI list is ABIS.
device() { $as env -i PATH="$scratch/path" ABIS="$1" PAGES="${PAGES:-}" "$mksh" "$dir/$2" "${@:3}"; }
hidepid() { unshare -m sh -c 'mount -t proc -o hidepid=2 proc /proc && exec "$@"' - "$@"; }

checked=$build/packages.sha256 rerun=
if [ -n "${PACKAGES_RERUN-}" ] && [ -f "$checked" ]; then rerun=1; else rm -f "$checked"; fi
cmake --install "$build" --prefix "$scratch/tree" >/dev/null
# Packing and lintian yield to the tests beside them, as the builds do; the
# Android scripts' checks below do not: they set nice values.
yield=(nice -n 10)
"${yield[@]}" "$src/scripts/package.sh" "$scratch/out" "$build"
status=0 debs=()
if [ -n "$rerun" ]; then
  diff "$checked" "$scratch/out/SHA256SUMS" || { echo "packed as $(id -un): other bytes than as root"; status=1; }
elif [ -n "$cannot" ]; then
  # Where nobody's run follows, its packing, by another user in another
  # folder, is the second.
  "${yield[@]}" "$src/scripts/package.sh" "$scratch/again" "$build"
  diff -r "$scratch/out" "$scratch/again" || { echo "packing twice gave other bytes"; status=1; }
fi
made=$(cd "$scratch/out" && ls | sort | xargs)
want=$(printf '%s\n' "$@" SHA256SUMS | sort | xargs)
[ "$made" = "$want" ] || { echo "packed: $made (expected: $want)"; status=1; }

for package in "$@"; do
  file=$scratch/out/$package x=$scratch/x/$package
  mkdir -p "$x"
  case $package in
    *-source.tar.gz) ;;
    "$package_termux")
      # The tree and the files only it has (each executable) under Termux's prefix.
      usr=$x/data/data/com.termux/files/usr
      dpkg-deb -x "$file" "$x"
      while read -r extra; do
        [ -x "$usr/$extra" ] && rm "$usr/$extra" || { echo "$package: no $extra"; status=1; }
      done <"$expected/termux-extras"
      rmdir "$usr/share/$package_name" && same_tree "$usr" "$scratch/tree" ||
        { echo "$package: not the installed tree under Termux's prefix"; status=1; }
      root=$scratch/root usr=$scratch/root/data/data/com.termux/files/usr greeter=$scratch/root/data/data/com.termux/files/usr/bin/greeter
      # Its preinst, run chrooted by dpkg, needs Termux's shell: a static one.
      install -D "$(command -v busybox)" "$root/data/data/com.termux/files/usr/bin/sh"
      if ! dpkg_root "$root" --force-architecture -i "$file"; then
        echo "$package: dpkg could not install it"; status=1
      # (Where it cannot run, runs says so.)
      elif ! runs "$greeter"; then
        :
      elif [ "$("$greeter")" != "Hello, World!" ]; then
        echo "$package: its greeter, installed by dpkg"; status=1
      # Its self-check, run as in Termux, from where dpkg put it (with the
      # Android archive's commands, which root's run sets up).
      elif [ -z "$rerun" ]; then
        got=$(env -i PATH="$scratch/path" "$mksh" "$usr/share/$package_name/selftest.sh" 2>&1) || true
        [ "${got##*$'\n'}" = "$(sed -n 's/^runs installed: //p' "$expected/device-verdicts")" ] ||
          { echo "$got"; echo "$package: selftest.sh from Termux's prefix failed"; status=1; }
      fi
      ;;
    "$package_android")
      [ -z "$rerun" ] || continue
      # The same archive where another build follows this one (asked once:
      # how a build is packed does not depend on its ABI).
      if [ "$android_abi" = x86_64 ]; then
        "${yield[@]}" "$src/scripts/package.sh" --device "$scratch/mixed" "$build" "$host_build"
        cmp "$file" "$scratch/mixed/$package" || { echo "$package: packed with another build after it: other bytes, or none"; status=1; }
      fi
      tar -xzf "$file" -C "$x"
      dir=$x/${package%.tar.gz} mksh=$(command -v mksh) toybox=$(command -v toybox)
      mkdir "$scratch/path"
      # One process for the two hundred links (every one of its commands).
      perl -e 'symlink $ARGV[0], "$ARGV[1]/$_" or die "$_: $!" for split " ", `$ARGV[0]`' "$toybox" "$scratch/path"
      cp "$src/scripts/getprop" "$scratch/path/"
      chmod -R 755 "$x"
      for as in "" "setpriv --reuid=2000 --regid=2000 --clear-groups" "hidepid setpriv --reuid=65534 --regid=65534 --clear-groups"; do
        runs "$dir/$android_abi/greeter" || break
        [ -z "$as" ] || [ "$(id -u)" = 0 ] || { echo "skipped: $as: needs root"; continue; }
        [ "${as%% *}" != hidepid ] || why=$(unshare -m mount -t proc -o hidepid=2 proc /proc 2>&1) ||
          { echo "skipped: no /proc with hidepid=2 here: $why"; continue; }
        bin=$x/bin-${as%% *} && mkdir -m 777 "$bin"
        got=$(device "$android_abi" install.sh "$bin" && device "$android_abi" selftest.sh "$bin" 2>&1) || true
        echo "$got"
        [ "${got##*$'\n'}" = "$(sed -n 's/^runs installed: //p' "$expected/device-verdicts")" ] || { echo "$package: selftest.sh (${as:-as this user}) failed"; status=1; }
        # What an app is told of a process it may not see.
        [ "${as%% *}" != hidepid ] || [ "$(echo "$got" | grep '^pid 1')" = "$(cat "$expected/selftest-hidepid")" ] ||
          { echo "$package: pid 1 seen under hidepid=2"; status=1; }
      done
      # Stopped early (no mkdir on its PATH), it still ends with its count.
      got=$(env -i PATH=/nonexistent "$mksh" "$dir/selftest.sh" "$dir/$android_abi" 2>&1) || true
      [ "${got##*$'\n'}" = "0 passed, 1 failed" ] || { echo "$package: selftest.sh stopped early: $got"; status=1; }
      # Stand-ins for the other ABIs (copies of this build's), with Termux's
      # names and the largest pages each runs with; and a getconf that says
      # the device's page size, as getprop says its ABIs.
      printf '%s\n' "arm64-v8a aarch64 4096" "armeabi-v7a arm 4096" "x86 i686 4096" "x86_64 x86_64 16384" >"$dir/abis"
      for abi in arm64-v8a armeabi-v7a x86 x86_64; do [ -d "$dir/$abi" ] || cp -r "$dir/$android_abi" "$dir/$abi"; done
      rm "$scratch/path/getconf"
      printf '#!%s\necho "$PAGES"\n' "$mksh" >"$scratch/path/getconf"
      chmod 755 "$scratch/path/getconf"
      # The device's ABI list ("-@MACHINE": none, so uname -m, where it is
      # MACHINE), its page size, and what install.sh says first; refused, it
      # installs nothing.
      as=
      while read -r abis pages want; do
        [[ $abis != -@* ]] || [ "${abis#-@}" = "$(uname -m)" ] || continue
        abis=${abis%@*}
        got=$(PAGES=$pages device "${abis#-}" install.sh "$x/$abis" 2>&1) || got="$got (status $?)"
        installed="batch_idler greeter namespace_ids print_wchan" && [[ $want != *refused* ]] || installed=
        [[ $got == "$want"* ]] && [ "$(ls "$x/$abis" 2>/dev/null | xargs)" = "$installed" ] ||
          { echo "$package: ABIs '$abis', pages of $pages bytes: $got"; status=1; }
      done < <(grep -v '^#' "$expected/install-choices")
      ;;
    *-debug.tar.gz)
      tar -xzf "$file" -C "$x"
      for program in "$scratch"/tree/bin/*; do
        id=$(readelf --notes "$program" | sed -n 's/^ *Build ID: *//p')
        debug=$x/${package%-debug.tar.gz}/lib/debug/.build-id/${id:0:2}/${id:2}.debug
        [ -s "$debug" ] || { echo "$package: no debug file for ${program##*/} ($id)"; status=1; }
      done
      ;;
    *.tar.gz)
      tar -xzf "$file" -C "$x"
      top=$(ls "$x")
      [ "$top" = "${package%.tar.gz}" ] || { echo "$package: top folder $top"; status=1; continue; }
      same_tree "$x/$top" "$scratch/tree" || { echo "$package: not the installed tree"; status=1; }
      ;;
    *.deb)
      # Its fields, and its files' folders (T: the triplet).
      dpkg-deb -x "$file" "$scratch/debian"
      name=${package%%_*} arch=${package##*_} arch=${arch%.deb}
      got="$(dpkg-deb -f "$file" Package Architecture Version Multi-Arch | xargs) in"
      got+=" $(dpkg-deb -c "$file" | awk '$1 !~ /^d/ { sub("/[^/]*$", "", $6); print $6 }' | sort -u | sed "s|/usr/lib/[^/]*-linux-gnu|/usr/lib/T|" | xargs)"
      want=$(sed -n "s/^$name /Package: $name Architecture: $arch Version: $version Multi-Arch: /p" "$expected/deb-folders")
      [ "$got" = "$want" ] || { echo "$package: $got (expected: $want)"; status=1; }
      debs+=("$file")
      ;;
  esac
done
# One lintian for them all: most of its time is its own start. Its temporary
# files in the scratch folder: it leaves some behind.
[ ${#debs[@]} = 0 ] || [ -n "$rerun" ] || TMPDIR=$scratch "${yield[@]}" lintian --fail-on error,warning "${debs[@]}" || { echo "${debs[*]##*/}: lintian finds fault"; status=1; }

# The Debian packages together: the tree, their objects' folder read as lib/
# (the pkg-config and CMake files name it: the cross builds below try them).
if [ -n "$package_deb" ]; then
  d=$scratch/debian/usr multiarch=$(cd "$scratch/debian/usr/lib" && echo *-linux-gnu)
  mv "$d/lib/$multiarch"/* "$d/lib/" && rmdir "$d/lib/$multiarch" && rm -r "$d/share/lintian" "$d/share/doc/$package_name-dev"
  diff <(cd "$d" && find . -printf '%y %m %p\n' | sort) <(cd "$scratch/tree" && find . -printf '%y %m %p\n' | sort) &&
    diff -r -x '*.pc' -x "$package_name-config.cmake" "$d" "$scratch/tree" || { echo "the Debian packages: not the tree"; status=1; }
fi

# Cross builds as Debian's: this build's -dev package and, for a cross build,
# the host build's, installed side by side into one root; against each, the
# callers built and run as tests/linking.sh does.
if [ -n "$package_deb" ]; then
  builds=("$build") dev=("$scratch/out/$package_name-dev_"*.deb)
  if [ "$host_build" != "$build" ]; then
    "${yield[@]}" "$src/scripts/package.sh" "$scratch/host" "$host_build"
    builds+=("$host_build") dev+=("$scratch/host/$package_name-dev_"*.deb)
  fi
  root=$scratch/debian-root
  for deb in "${dev[@]}"; do
    arch=${deb##*_} arch=${arch%.deb}
    [ "$arch" = "$(dpkg --print-architecture)" ] || dpkg_root "$root" --add-architecture "$arch" || status=1
  done
  dpkg_root "$root" -i "${dev[@]}" || { echo "the -dev packages do not install side by side"; status=1; builds=(); }
  for b in "${builds[@]}"; do
    "$src/tests/linking.sh" "$src" "$b" "$host_build/tests/examples/callers_test" - "$root" >"$scratch/linking" 2>&1 ||
      { cat "$scratch/linking"; echo "${b##*/}: the callers, built against the installed -dev package"; status=1; }
  done
fi

[ $status != 0 ] || [ -n "$rerun" ] || cp "$scratch/out/SHA256SUMS" "$checked"
exit $status
