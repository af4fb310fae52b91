/* SPDX-FileCopyrightText: 2026 The proc-utilities authors */
/* SPDX-License-Identifier: Apache-2.0 */
/* The namespace identifiers of a process, read from /proc/<pid>/ns.
 * Usable from C and C++. */
#ifndef GREETER_NAMESPACES_H
#define GREETER_NAMESPACES_H

#include <stdint.h>
#include <sys/types.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Kinds by index: 0 ipc, 1 mnt, 2 net, 3 pid, 4 user, 5 uts. */
/* NOLINTNEXTLINE(performance-enum-size): C includes this, and a C17 enum takes no base type. */
enum { NAMESPACE_KIND_COUNT = 6 };

/* Owned by the caller, who may embed it in a larger record of its own. */
struct process_record {
    /* Inode number of /proc/<pid>/ns/<kind name>, by kind; 0 when that
       file could not be examined. */
    uint64_t namespace_ids[NAMESPACE_KIND_COUNT];
};
typedef struct process_record process_record;

/* Fills all six entries of record->namespace_ids for pid, whatever happens.
   Returns 0, or the errno of the last kind (in index order) whose file could
   not be examined for a reason other than ENOENT: a missing file is not an
   error. Prints nothing; keeps nothing between calls. */
int read_namespace_ids(pid_t pid, struct process_record *record);

/* The file name of kind index under /proc/<pid>/ns, or null outside 0..5. */
const char *namespace_kind_name(int index);

#ifdef __cplusplus
}
#endif

#endif
