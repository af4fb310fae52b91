#!/usr/bin/env bash
# Packs each build tree with CPack into OUT (the generators its configuration
# names) and lists every package in OUT in OUT/SHA256SUMS, as sha256sum -c reads it.
# usage: package.sh OUT BUILD_DIR...
set -euo pipefail
out=$1
shift
mkdir -p "$out"
for build in "$@"; do
  cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
done
# CPack stages its work beside the packages.
rm -rf "$out/_CPack_Packages"
cd "$out"
shopt -s nullglob
packages=(*.tar.gz *.deb)
[ ${#packages[@]} -gt 0 ] || { echo "package.sh: CPack wrote no package into $out" >&2; exit 1; }
sha256sum -- "${packages[@]}" >SHA256SUMS
