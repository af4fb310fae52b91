/* SPDX-FileCopyrightText: 2026 The proc-utilities authors */
/* SPDX-License-Identifier: Apache-2.0 */
/* namespace_ids: prints the six namespace identifiers of each process given,
 * one line per kind: "<pid> <kind name> <identifier>", 0 where the kind's file
 * could not be examined.
 *
 *   namespace_ids pid...
 *
 * A pid whose files could not be examined (other than being missing) is
 * reported on standard error, and the exit status is then 1.
 *
 * Written in C to show the reader's header and object need nothing of C++. */
#include <errno.h>
#include <inttypes.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include <greeter/namespaces.h>

/* main's parameters have the types the language gives them. */
/* cppcheck-suppress constParameter */
int main(int argc, char *argv[])
{
    if (argc < 2) {
        (void)fprintf(stderr, "usage: namespace_ids pid...\n");
        return 2;
    }
    int status = 0;
    for (int a = 1; a < argc; a++) {
        char *end;
        errno = 0;
        long pid = strtol(argv[a], &end, 10);
        if (errno != 0 || end == argv[a] || *end != '\0' || pid < INT_MIN || pid > INT_MAX) {
            (void)fprintf(stderr, "namespace_ids: not a process id: %s\n", argv[a]);
            status = 1;
            continue;
        }

        process_record record;
        int error = read_namespace_ids((pid_t)pid, &record);
        for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
            printf("%ld %s %" PRIu64 "\n", pid, namespace_kind_name(i), record.namespace_ids[i]);
        if (error != 0) {
            char call[64];
            (void)snprintf(call, sizeof call, "read_namespace_ids(%ld, &record)", pid);
            errno = error;
            perror(call);
            status = 1;
        }
    }
    if (fflush(stdout) != 0) {
        perror("fflush(stdout)");
        return 1;
    }
    return status;
}
