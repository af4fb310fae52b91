// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// The example callers run as a user runs them, built for the target under
// test, their output checked against what /proc shows this process. They
// carry the namespace reader and the wait-channel object compiled for that
// target's C library: on Android this is where those two are run. The kinds'
// names come from the reader as built for the host, whose own suite checks them.
#include "child.h"
#include "greeter/namespaces.h"

#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

bool has_proc_entry(pid_t pid)
{
    return access(("/proc/" + std::to_string(pid)).c_str(), F_OK) == 0;
}

finished run(const std::string &program, const std::vector<std::string> &args,
             bool as_nobody = false)
{
    child_options options;
    options.as_nobody = as_nobody;
    // User nobody runs a copy it may read, whatever the build tree's permissions.
    std::string copy = as_nobody ? shareable_copy(program) : "";
    child c = start_program(as_nobody ? copy : program, args, options);
    finished f = end_program(c, 0);
    remove_shareable_copy(copy);
    return f;
}

struct namespace_case {
    const char *name;
    pid_t (*pid)();
    bool as_nobody;
    int status;
    const char *err; // after "read_namespace_ids(<pid>, &record): "
};

class namespace_ids : public ::testing::TestWithParam<namespace_case> {};

TEST_P(namespace_ids, prints_the_kernels_identifiers_or_zeros)
{
    const namespace_case &nc = GetParam();
    if (nc.as_nobody && geteuid() != 0)
        GTEST_SKIP() << "needs root to start a process as user nobody";
    pid_t pid = nc.pid();
    if (pid != getpid() && pid != 1 && has_proc_entry(pid))
        GTEST_SKIP() << "pid " << pid << " was taken again at once";
    std::string p = std::to_string(pid);
    std::string expected;
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++) {
        const char *kind = namespace_kind_name(i);
        expected += p + " " + kind + " " +
                    std::to_string(nc.as_nobody ? 0 : namespace_link_id(pid, kind)) + "\n";
    }

    finished f = run(program_under_test("NAMESPACE_IDS"), {p}, nc.as_nobody);
    ASSERT_TRUE(WIFEXITED(f.status)) << "status " << f.status;
    EXPECT_EQ(WEXITSTATUS(f.status), nc.status);
    EXPECT_EQ(f.out, expected);
    EXPECT_EQ(f.err, *nc.err ? "read_namespace_ids(" + p + ", &record): " + nc.err + "\n" : "");
}

const namespace_case namespace_cases[] = {
    {"parent", getpid, false, 0, ""},
    {"no_process", reaped_pid, false, 0, ""},
    {"init_as_nobody", [] { return pid_t{1}; }, true, 1, "Permission denied"},
};
INSTANTIATE_TEST_SUITE_P(cases, namespace_ids, ::testing::ValuesIn(namespace_cases), case_name());

TEST(print_wchan, prints_each_pids_wait_channel_in_order)
{
    std::string program = program_under_test("PRINT_WCHAN");
    pid_t sleeper = fork();
    ASSERT_GE(sleeper, 0);
    if (sleeper == 0) {
        for (;;)
            pause();
    }
    // Asleep and off the run queue: until then the kernel gives 0, not a name.
    std::string file = "/proc/" + std::to_string(sleeper) + "/wchan", text;
    bool named = wait_until(
        [&] {
            proc_stat st;
            text = read_file(file);
            return read_proc_stat(sleeper, &st) && st.state == 'S' && text != "0";
        },
        3000);
    pid_t gone = reaped_pid();

    finished f = run(program, {std::to_string(sleeper), std::to_string(gone), "-1"});
    kill(sleeper, SIGKILL);
    waitpid(sleeper, nullptr, 0);

    if (!named)
        GTEST_SKIP() << "this kernel hides wait channels: " << file << " reads " << text;
    if (has_proc_entry(gone))
        GTEST_SKIP() << "pid " << gone << " was taken again at once";
    ASSERT_TRUE(WIFEXITED(f.status)) << "status " << f.status;
    EXPECT_EQ(WEXITSTATUS(f.status), 0);
    EXPECT_EQ(f.out, std::to_string(sleeper) + " " + sleepers_wchan(text) + "\n" +
                         std::to_string(gone) + " ?\n-1 ?\n");
    EXPECT_EQ(f.err, "");
}

} // namespace
