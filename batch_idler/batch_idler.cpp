// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// batch_idler: move this process into the batch scheduling class at a low
// priority, then stay alive doing nothing until a signal ends it.
//
//   batch_idler [nice_value]
//
// A refused step is reported on standard error and the program goes on.
// Standard input is read and discarded while it is open; once it ends the
// program sleeps instead of spinning on end of file.

#include <errno.h>
#include <poll.h>
#include <sched.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <unistd.h>

// The nice value when none is given: the lowest priority the kernel gives.
constexpr int default_nice_value = 19;

// main's parameters have the types the language gives them.
// cppcheck-suppress constParameter
int main(int argc, char *argv[])
{
    // atoi's reading, with no range check: an out-of-range value keeps the
    // low 32 bits of a 64-bit conversion, on every ABI. atoi itself cannot
    // promise that: where long has 32 bits (32-bit Android) it saturates.
    int nice_value = default_nice_value;
    if (argc >= 2)
        nice_value = static_cast<int>(strtoll(argv[1], nullptr, 10));

    sched_param param = {}; // sched_priority 0, the only value the batch class takes
    if (sched_setscheduler(0, SCHED_BATCH, &param) != 0)
        perror("sched_setscheduler(0,SCHED_BATCH,{.sched_priority=0}");

    // A successful setpriority leaves errno as it was, and the steps above may
    // have set it: judge the call by its return value alone.
    errno = 0;
    if (setpriority(PRIO_PROCESS, 0, nice_value) != 0) {
        int error = errno; // perror must report setpriority's error, whatever snprintf does
        char msg[50];      // the longest message, for INT_MIN, takes 41 characters
        (void)snprintf(msg, sizeof msg, "setpriority(PRIO_PROCESS, 0, %d)", nice_value);
        errno = error;
        perror(msg);
    }

    // Drain standard input so a writer is never held up. A non-blocking
    // descriptor is waited on rather than spun on.
    for (;;) {
        errno = 0;
        if (getchar() != EOF)
            continue;
        if (!ferror(stdin) || (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR))
            break;
        clearerr(stdin);
        pollfd in = {STDIN_FILENO, POLLIN, 0};
        poll(&in, 1, -1);
    }

    // End of input, or an input that failed for good: nothing left to read,
    // so sleep until a signal ends the process.
    for (;;)
        pause();
}
