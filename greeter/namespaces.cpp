// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// Reads a process's namespace identifiers: the inode numbers of the files
// under /proc/<pid>/ns, which the kernel uses to name each namespace.
#include "greeter/namespaces.h"

#include <errno.h>
#include <stdio.h>
#include <sys/stat.h>

extern "C" const char *namespace_kind_name(int index)
{
    static const char *const names[NAMESPACE_KIND_COUNT] = {"ipc", "mnt",  "net",
                                                            "pid", "user", "uts"};
    if (index < 0 || index >= NAMESPACE_KIND_COUNT)
        return nullptr;
    return names[index];
}

extern "C" int read_namespace_ids(pid_t pid, process_record *record)
{
    int result = 0;
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++) {
        // Never hand %s a null pointer: spell out what glibc would print.
        const char *name = namespace_kind_name(i);
        char path[50]; // the longest, /proc/-2147483648/ns/(null), takes 27 characters
        (void)snprintf(path, sizeof path, "/proc/%i/ns/%s", pid, name ? name : "(null)");

        // stat, not lstat: the link leads to the namespace's own inode.
        struct stat st;
        if (stat(path, &st) == 0) {
            record->namespace_ids[i] = st.st_ino;
            continue;
        }
        // A kernel without a kind, or a process already gone, is not an error.
        if (errno != ENOENT)
            result = errno;
        record->namespace_ids[i] = 0;
    }
    return result;
}
