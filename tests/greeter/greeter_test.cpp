// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// The greeter run as a real process: the exact bytes it leaves in a pipe or a
// file, its exit status, its standard error, and its untouched standard input.
#include "child.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string line = "Hello, World!\n";
const std::string typed = "some input nobody asked for\n";

struct greeter_case {
    const char *name;
    std::vector<std::string> args;
    output stdout_kind;
    int status;
    std::string out; // what the pipe or the file holds afterwards
    std::string err;
    const char *libc = nullptr; // the one C library that behaves so; null: all
};

class greeter_run : public ::testing::TestWithParam<greeter_case> {};

TEST_P(greeter_run, writes_its_line_or_reports_why_not)
{
    const greeter_case &gc = GetParam();
    if (gc.libc && libc_under_test() != gc.libc)
        GTEST_SKIP() << "what " << gc.libc << " does; this greeter is built on "
                     << libc_under_test();
    child_options options;
    options.stdout_kind = gc.stdout_kind;
    options.stdin_text = typed;
    char path[] = "/tmp/greeter-out-XXXXXX";
    if (gc.stdout_kind == output::file) {
        ASSERT_EQ(close(mkstemp(path)), 0) << "mkstemp " << path;
        options.stdout_file = path;
    }

    child c = start_program(program_under_test("GREETER"), gc.args, options);
    ASSERT_GT(c.pid, 0);
    // Wait for the end without reaping, while the input pipe is still ours to look at.
    siginfo_t info = {};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(c.pid), &info, WEXITED | WNOWAIT), 0);
    EXPECT_EQ(pipe_unread(c.in), static_cast<int>(typed.size())) << "standard input was read";
    finished f = end_program(c, 0);

    ASSERT_TRUE(WIFEXITED(f.status)) << "status " << f.status;
    EXPECT_EQ(WEXITSTATUS(f.status), gc.status);
    if (gc.stdout_kind == output::file) {
        EXPECT_EQ(read_file(path), gc.out);
        unlink(path);
    } else {
        EXPECT_EQ(f.out, gc.out);
    }
    EXPECT_EQ(f.err, gc.err);
}

std::vector<std::string> many_args(int n)
{
    std::vector<std::string> args;
    args.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; i++)
        args.push_back("arg" + std::to_string(i));
    return args;
}

const std::string full = "fflush(stdout): No space left on device\n";
const std::string closed = "fflush(stdout): Bad file descriptor\n";
const std::vector<std::string> odd_args = {"--help", "-", "", "%s%n", "Hello, World!\n"};

const greeter_case greeter_cases[] = {
    {"pipe", {}, output::pipe, 0, line, ""},
    {"pipe_odd_args", odd_args, output::pipe, 0, line, ""},
    {"pipe_many_args", many_args(500), output::pipe, 0, line, ""},
    {"file", {}, output::file, 0, line, ""},
    {"file_odd_args", odd_args, output::file, 0, line, ""},
    {"dev_full", {}, output::dev_full, 1, "", full},
    {"dev_full_odd_args", odd_args, output::dev_full, 1, "", full},
    {"stdout_closed", {}, output::closed, 1, "", closed, "glibc"},
    {"stdout_closed_odd_args", odd_args, output::closed, 1, "", closed, "glibc"},
    // bionic opens /dev/null on a standard descriptor closed at start: the line goes there.
    {"stdout_closed_becomes_dev_null", {}, output::closed, 0, "", "", "bionic"},
};
INSTANTIATE_TEST_SUITE_P(cases, greeter_run, ::testing::ValuesIn(greeter_cases), case_name());

} // namespace
