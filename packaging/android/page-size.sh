# SPDX-FileCopyrightText: 2026 The proc-utilities authors
# SPDX-License-Identifier: Apache-2.0
# The device's page size in bytes, as install.sh, the Termux package's
# preinst and the kernels' tests read it: getconf where it answers (toybox),
# or what the kernel says of this process's pages. Configure splices the lines
# below this comment where a script has the line @PAGE_SIZE_PROBE@.
pagesize=$(getconf PAGESIZE 2>/dev/null) || pagesize=
if [ -z "$pagesize" ]; then
  kib=$(sed -n 's/^KernelPageSize: *\([0-9]*\) kB$/\1/p' /proc/self/smaps 2>/dev/null | head -n 1) || kib=
  pagesize=$((${kib:-0} * 1024))
fi
