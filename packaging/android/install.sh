#!/system/bin/sh
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Lays the programs of this device's ABI into one folder, by default bin/
# beside this script:
#   sh install.sh [FOLDER]
# The ABI is the first of the device's that this archive holds for its page
# size: the device
# names them in ro.product.cpu.abilist (Android 5.0 and later), failing that
# in ro.product.cpu.abi; failing both, the ABI whose Termux architecture
# `uname -m` begins with is taken. Android's own shell and toybox
# commands are all it needs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
to=${1:-$here/bin}

said=
for property in ro.product.cpu.abilist ro.product.cpu.abi; do
  abis=$(getprop "$property" 2>/dev/null) || abis=
  if [ -n "$abis" ]; then
    said="$property: $abis"
    break
  fi
done
# abis: a line "<ABI> <Termux architecture> <largest page size its programs
# run with>" for each ABI here.
if [ -z "$said" ]; then
  machine=$(uname -m)
  said="uname -m: $machine"
  while read -r abi arch _; do
    case $machine in "$arch"*) abis=$abi ;; esac
  done <"$here/abis"
fi

# The device's page size: toybox's getconf, or what the kernel says of this
# process's pages.
@PAGE_SIZE_PROBE@

# A program built for smaller pages than the device's aborts before it
# starts: such an ABI is passed over.
took= small=
for abi in ${abis//,/ }; do
  served=$(sed -n "s/^$abi [^ ]* \([0-9]*\)$/\1/p" "$here/abis")
  [ -n "$served" ] || continue
  if [ "$served" -ge "$pagesize" ]; then
    took=$abi
    break
  fi
  small="${small:+$small, }$abi: up to $served bytes"
done
if [ -z "$took" ] && [ -n "$small" ]; then
  echo "install.sh: refused: this device's pages are $pagesize bytes, larger than its ABIs' programs" \
    "here run with ($small): build them with Android NDK r27 or later; nothing installed" >&2
  exit 1
fi
if [ -z "$took" ]; then
  echo "install.sh: refused: none of this device's ABIs ($said) is in this archive ($(cut -d' ' -f1 "$here/abis" | xargs)); nothing installed" >&2
  exit 1
fi

mkdir -p "$to"
for program in "$here/$took"/*; do
  cp "$program" "$to/"
  chmod 755 "$to/${program##*/}"
done
echo "install.sh: took $took, the first of this device's ABIs ($said) in this archive for its pages of $pagesize bytes"
echo "install.sh: $(ls "$here/$took" | xargs) in $to"
