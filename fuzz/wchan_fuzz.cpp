// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// lookup_wchan on arbitrary wchan file contents, served by the open, read and
// close this program supplies (linked with -Wl,--wrap=...). Every result must
// be one of the fixed texts or a terminated text inside the buffer the object
// read into, and the file must be opened read-only once, read at most 63
// bytes at a time and closed whenever it was opened.
#include <wchan/wchan.h>

#include <cerrno>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fuzzer/FuzzedDataProvider.h>
#include <string>
#include <unistd.h>
#include <vector>

// The names are the linker's (--wrap): the object's calls come to __wrap_*.
// NOLINTBEGIN(bugprone-reserved-identifier)
extern "C" int __real_open(const char *path, int flags, ...);
extern "C" ssize_t __real_read(int fd, void *buf, size_t count);
extern "C" int __real_close(int fd);
// NOLINTEND(bugprone-reserved-identifier)

namespace {

enum class outcome : std::uint8_t { open_fails, read_fails, reads };

// The file the object opens while a lookup is under way.
struct fake_file {
    bool armed = false;
    outcome what = outcome::reads;
    const uint8_t *data = nullptr;
    size_t size = 0;

    int opens = 0, reads = 0, closes = 0, bad_closes = 0;
    std::string path;
    int flags = -1;
    char *buf = nullptr;
    size_t count = 0;
    ssize_t returned = 0;
};
fake_file fake;

// Far above any descriptor this process opens for itself. While a lookup is
// under way every open, read and close is the object's.
constexpr int fake_fd = 1 << 29;

void check(bool ok, const char *what)
{
    if (!ok) {
        (void)fprintf(stderr, "wchan_fuzz: %s\n", what);
        abort();
    }
}

bool inside(const char *p, const char *start, size_t length)
{
    return p >= start && p < start + length;
}

} // namespace

// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" int __wrap_open(const char *path, int flags, ...)
{
    int mode = 0;
    if (flags & (O_CREAT | O_TMPFILE)) {
        va_list ap;
        va_start(ap, flags);
        mode = va_arg(ap, int);
        va_end(ap);
    }
    if (!fake.armed)
        return __real_open(path, flags, mode);
    fake.opens++;
    fake.path = path;
    fake.flags = flags;
    if (fake.what == outcome::open_fails) {
        errno = ENOENT;
        return -1;
    }
    return fake_fd;
}

// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" ssize_t __wrap_read(int fd, void *buf, size_t count)
{
    if (!fake.armed)
        return __real_read(fd, buf, count);
    fake.reads++;
    fake.buf = static_cast<char *>(buf);
    fake.count = count;
    if (fd != fake_fd) {
        errno = EBADF;
        return fake.returned = -1;
    }
    if (fake.what == outcome::read_fails) {
        errno = EIO;
        return fake.returned = -1;
    }
    size_t n = count < fake.size ? count : fake.size;
    if (n > 0)
        memcpy(buf, fake.data, n);
    return fake.returned = static_cast<ssize_t>(n);
}

// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" int __wrap_close(int fd)
{
    if (!fake.armed)
        return __real_close(fd);
    fake.closes++;
    if (fd != fake_fd) {
        fake.bad_closes++;
        errno = EBADF;
        return -1;
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    int choice = input.ConsumeIntegralInRange(0, 7);
    int32_t pid = input.ConsumeIntegral<int32_t>();
    std::vector<uint8_t> content = input.ConsumeRemainingBytes<uint8_t>();

    fake = fake_file();
    fake.what = choice == 0   ? outcome::open_fails
                : choice == 1 ? outcome::read_fails
                              : outcome::reads;
    fake.data = content.data();
    fake.size = content.size();
    fake.armed = true;
    const char *result = lookup_wchan(pid);
    fake.armed = false;

    check(result != nullptr, "null result");
    check(fake.opens == 1, "not opened exactly once");
    check(fake.path == "/proc/" + std::to_string(pid) + "/wchan", "wrong path");
    check(fake.flags == O_RDONLY, "not opened read-only");
    if (fake.what == outcome::open_fails) {
        check(fake.reads == 0 && fake.closes == 0, "used a descriptor it never got");
        check(strcmp(result, "?") == 0, "failed open does not give ?");
        return 0;
    }
    check(fake.reads == 1, "not read exactly once");
    check(fake.closes == 1 && fake.bad_closes == 0, "opened file not closed once");
    check(fake.count <= 63, "asked for more than 63 bytes");

    // The 64-byte buffer it read into; fixed texts lie outside it.
    const char *buf = fake.buf;
    if (fake.returned <= 0) {
        check(strcmp(result, "?") == 0 && !inside(result, buf, 64), "nothing read does not give ?");
        return 0;
    }
    size_t n = static_cast<size_t>(fake.returned);
    check(memcmp(buf, content.data(), n) == 0 && buf[n] == '\0', "text read is not kept as read");
    if (strcmp(buf, "0") == 0) {
        check(strcmp(result, "-") == 0 && !inside(result, buf, 64), "0 does not give -");
        return 0;
    }
    check(inside(result, buf, 64), "a name does not point into the buffer");
    check(memchr(result, '\0', static_cast<size_t>(buf + 64 - result)) != nullptr,
          "name not terminated inside the buffer");
    size_t skip = buf[0] == '.' ? 1 : 0;
    while (buf[skip] == '_')
        skip++;
    check(result == buf + skip,
          "not exactly one full stop and the underscores after it stepped over");
    return 0;
}
