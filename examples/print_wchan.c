/* SPDX-FileCopyrightText: 2026 The proc-utilities authors */
/* SPDX-License-Identifier: Apache-2.0 */
/* print_wchan: prints "<pid> <wait channel>" for each process id given.
 *
 *   print_wchan pid...
 *
 * A text that is not a process id is reported on standard error, and the exit
 * status is then 1; so is output that could not be written.
 *
 * An example host for the wchan object: it includes <wchan/wchan.h> and links
 * wchan.o next to its own objects; the C library supplies the rest. */
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>

#include <wchan/wchan.h>

/* main's parameters have the types the language gives them. */
/* cppcheck-suppress constParameter */
int main(int argc, char *argv[])
{
    if (argc < 2) {
        (void)fprintf(stderr, "usage: print_wchan pid...\n");
        return 2;
    }
    int status = 0;
    for (int i = 1; i < argc; i++) {
        char *end;
        errno = 0;
        long pid = strtol(argv[i], &end, 10);
        if (errno != 0 || end == argv[i] || *end != '\0' || pid < INT_MIN || pid > INT_MAX) {
            (void)fprintf(stderr, "print_wchan: not a process id: %s\n", argv[i]);
            status = 1;
            continue;
        }
        /* The text is overwritten by the next call: use it at once. */
        printf("%ld %s\n", pid, lookup_wchan((pid_t)pid));
    }
    if (fflush(stdout) != 0) {
        perror("fflush(stdout)");
        return 1;
    }
    return status;
}
