#!/usr/bin/env bash
# Packs a build into a scratch folder as `make package` does and checks the
# result: exactly the packages named, each holding exactly the tree the build
# installs (an archive under one top folder, a Debian package under /usr, with
# its architecture and version), and checksums that verify.
# usage: packages.sh SOURCE_DIR BUILD_DIR VERSION PACKAGE...
set -euo pipefail
src=$1 build=$2 version=$3
shift 3
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

status=0
made=$(cd "$scratch/out" && ls | sort | xargs)
want=$(printf '%s\n' "$@" SHA256SUMS | sort | xargs)
[ "$made" = "$want" ] || { echo "packed: $made (expected: $want)"; status=1; }

for package in "$@"; do
  file=$scratch/out/$package x=$scratch/x/$package
  mkdir -p "$x"
  case $package in
    *.tar.gz)
      tar -xzf "$file" -C "$x"
      top=$(ls "$x")
      [ "$top" = "${package%.tar.gz}" ] || { echo "$package: top folder $top"; status=1; continue; }
      same_tree "$x/$top" "$scratch/tree" || { echo "$package: not the installed tree"; status=1; }
      ;;
    *.deb)
      dpkg-deb -x "$file" "$x"
      [ "$(ls "$x")" = usr ] || { echo "$package: installs outside /usr: $(ls "$x")"; status=1; }
      same_tree "$x/usr" "$scratch/tree" || { echo "$package: not the installed tree under /usr"; status=1; }
      fields=$(dpkg-deb -f "$file" Architecture Version | xargs)
      arch=${package##*_} arch=${arch%.deb}
      [ "$fields" = "Architecture: $arch Version: $version" ] || { echo "$package: $fields"; status=1; }
      ;;
  esac
done

(cd "$scratch/out" && sha256sum -c --quiet SHA256SUMS) || { echo "SHA256SUMS does not verify"; status=1; }
exit $status
