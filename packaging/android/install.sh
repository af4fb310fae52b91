#!/system/bin/sh
# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# Lays the programs of this device's ABI into one folder, by default bin/
# beside this script:
#   sh install.sh [FOLDER]
# The ABI is the first of the device's that this archive holds: the device
# names them in ro.product.cpu.abilist (Android 5.0 and later), failing that
# in ro.product.cpu.abi; failing both, the ABI whose Termux architecture
# begins what `uname -m` says is taken. Android's own shell and toybox
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
if [ -z "$said" ]; then
  machine=$(uname -m)
  said="uname -m: $machine"
  # abis: a line "<ABI> <Termux architecture>" for each ABI here.
  while read -r abi arch; do
    case $machine in "$arch"*) abis=$abi ;; esac
  done <"$here/abis"
fi

took=
for abi in ${abis//,/ }; do
  if grep -q "^$abi " "$here/abis"; then
    took=$abi
    break
  fi
done
if [ -z "$took" ]; then
  echo "install.sh: refused: none of this device's ABIs ($said) is in this archive ($(cut -d' ' -f1 "$here/abis" | xargs)); nothing installed" >&2
  exit 1
fi

mkdir -p "$to"
for program in "$here/$took"/*; do
  cp "$program" "$to/"
  chmod 755 "$to/${program##*/}"
done
echo "install.sh: took $took, the first of this device's ABIs ($said) in this archive"
echo "install.sh: $(ls "$here/$took" | xargs) in $to"
