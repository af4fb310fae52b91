/* SPDX-FileCopyrightText: 2026 The proc-utilities authors */
/* SPDX-License-Identifier: Apache-2.0 */
/* The kernel wait channel of a process, for linking into other programs. */
#ifndef WCHAN_WCHAN_H
#define WCHAN_WCHAN_H

#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Returns the name of the kernel function process `pid` waits in, read from
 * /proc/<pid>/wchan with one leading full stop, if any, then all leading
 * underscores stepped over; "-" when the kernel gives 0 (the process is running, or the
 * name is withheld); "?" when nothing can be read. Never null. The text must
 * not be modified, and a name is overwritten by the next call: copy it to keep
 * it. Not reentrant: serialise calls. */
const char *lookup_wchan(pid_t pid);

#ifdef __cplusplus
}
#endif

#endif
