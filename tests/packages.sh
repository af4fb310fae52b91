#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Packs a build twice, as `make package` does, and checks the result: the
# same bytes both times; exactly the packages named; each archive holding
# exactly the tree the build installs under one top folder, or (the debug
# archive) a debug file for each of its programs under their build-ids; a
# Debian package holding the tree under /usr, with its architecture and
# version, that lintian finds no error or warning in; a Termux package holding
# the tree under Termux's prefix.
# usage: packages.sh SOURCE_DIR BUILD_DIR VERSION READELF PACKAGE...
set -euo pipefail
src=$1 build=$2 version=$3 readelf=$4
shift 4
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Every path with its type and mode, then every file's content.
same_tree() {
  local got=$1 want=$2
  diff <(cd "$got" && find . -printf '%y %m %p\n' | sort) \
       <(cd "$want" && find . -printf '%y %m %p\n' | sort) &&
    diff -r "$got" "$want"
}

cmake --install "$build" --prefix "$scratch/tree" >/dev/null
"$src/scripts/package.sh" "$scratch/out" "$build"
"$src/scripts/package.sh" "$scratch/again" "$build"

status=0
diff -r "$scratch/out" "$scratch/again" || { echo "packing twice gave other bytes"; status=1; }
made=$(cd "$scratch/out" && ls | sort | xargs)
want=$(printf '%s\n' "$@" SHA256SUMS | sort | xargs)
[ "$made" = "$want" ] || { echo "packed: $made (expected: $want)"; status=1; }

# package_android and package_termux: this build's Android archive and
# Termux package (tests/device.sh runs what they hold), or empty
# shellcheck source=/dev/null
source "$build/target.env"
for package in "$@"; do
  file=$scratch/out/$package x=$scratch/x/$package
  mkdir -p "$x"
  case $package in
    *-source.tar.gz | "$package_android") ;;
    "$package_termux")
      dpkg-deb -x "$file" "$x" && same_tree "$x/data/data/com.termux/files/usr" "$scratch/tree" ||
        { echo "$package: not the installed tree under Termux's prefix"; status=1; } ;;
    *-debug.tar.gz)
      tar -xzf "$file" -C "$x"
      for program in "$scratch"/tree/bin/*; do
        id=$("$readelf" --notes "$program" | sed -n 's/^ *Build ID: *//p')
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
      dpkg-deb -x "$file" "$x"
      [ "$(ls "$x")" = usr ] || { echo "$package: installs outside /usr: $(ls "$x")"; status=1; }
      rm -r "$x/usr/share/lintian"
      same_tree "$x/usr" "$scratch/tree" || { echo "$package: not the installed tree under /usr"; status=1; }
      lintian --fail-on error,warning "$file" || { echo "$package: lintian finds fault"; status=1; }
      fields=$(dpkg-deb -f "$file" Architecture Version | xargs)
      arch=${package##*_} arch=${arch%.deb}
      [ "$fields" = "Architecture: $arch Version: $version" ] || { echo "$package: $fields"; status=1; }
      ;;
  esac
done

exit $status
