// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// greeter: writes "Hello, World!\n" to standard output and exits 0.
// Arguments are ignored and standard input is never read. A line that could
// not be written is reported on standard error, with exit status 1.
//
// The program also carries the namespace identifier reader (namespaces.h),
// which it does not call itself.

#include <stdio.h>

int main()
{
    // Standard output is usually buffered, so printf rarely sees a failure:
    // the flush is where a closed or full output shows.
    if (printf("Hello, World!\n") < 0) {
        perror("printf(\"Hello, World!\\n\")");
        return 1;
    }
    if (fflush(stdout) != 0) {
        perror("fflush(stdout)");
        return 1;
    }
    return 0;
}
