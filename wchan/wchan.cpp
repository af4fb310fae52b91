// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// lookup_wchan: one static buffer holds first the path, then the text read
// over it; nothing is allocated. The host program supplies snprintf, open,
// read and close, so this object defines nothing else.
#include "wchan.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

const char *lookup_wchan(pid_t pid)
{
    static char buf[64];

    (void)snprintf(buf, sizeof buf, "/proc/%d/wchan", static_cast<int>(pid));
    int fd = open(buf, O_RDONLY);
    if (fd < 0)
        return "?";
    // One byte short of the buffer, so the terminator always fits.
    ssize_t n = read(fd, buf, sizeof buf - 1);
    close(fd);
    if (n <= 0)
        return "?";
    buf[n] = '\0';

    // The kernel writes 0 when there is no wait channel to name.
    if (buf[0] == '0' && buf[1] == '\0')
        return "-";

    // Symbol decorations: a leading full stop (function descriptors on some
    // architectures), then the underscores of internal entry points.
    const char *name = buf;
    if (*name == '.')
        ++name;
    while (*name == '_')
        ++name;
    return name;
}
