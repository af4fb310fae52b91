// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// The batch idler, run as a real process and watched from outside: its
// scheduling class, nice value, CPU time and output, read by the parent.
#include "child.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const char sched_line[] = "sched_setscheduler(0,SCHED_BATCH,{.sched_priority=0}: ";

std::string program;

class batch_idler_env : public ::testing::Environment {
public:
    void SetUp() override { program = shareable_copy(program_under_test("BATCH_IDLER")); }
    void TearDown() override { remove_shareable_copy(program); }
};
const auto *env = ::testing::AddGlobalTestEnvironment(new batch_idler_env);

// The idler reads standard input only once it has configured itself, so a
// byte taken from its pipe says both steps are done and reported.
void wait_configured(const child &c)
{
    ASSERT_EQ(write(c.in, "x", 1), 1);
    // Long enough for qemu to start in SCHED_IDLE on a busy machine.
    ASSERT_TRUE(wait_until([&] { return pipe_unread(c.in) == 0; }, 120000))
        << "idler never read its input";
}

proc_stat stat_of(const child &c)
{
    proc_stat st;
    EXPECT_TRUE(read_proc_stat(c.pid, &st));
    return st;
}

void expect_killed_quietly(child &c, const std::string &expected_err)
{
    finished f = end_program(c, SIGTERM);
    EXPECT_TRUE(WIFSIGNALED(f.status) && WTERMSIG(f.status) == SIGTERM) << "status " << f.status;
    EXPECT_EQ(f.out, "");
    EXPECT_EQ(f.err, expected_err);
}

long own_nice()
{
    errno = 0;
    return getpriority(PRIO_PROCESS, 0);
}

// Root may still lack CAP_SYS_NICE (a container's default): ask the kernel.
bool can_lower_nice()
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(setpriority(PRIO_PROCESS, 0, static_cast<int>(own_nice()) - 1) == 0 ? 0 : 1);
    int status = 1;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct nice_case {
    const char *name;
    std::vector<std::string> args;
    long nice;
};

class nice_argument : public ::testing::TestWithParam<nice_case> {};

TEST_P(nice_argument, sets_batch_class_and_nice_value)
{
    const nice_case &nc = GetParam();
    if (nc.nice < own_nice() && !can_lower_nice())
        GTEST_SKIP() << "lowering the nice value needs CAP_SYS_NICE";
    child c = start_program(program, nc.args);
    ASSERT_GT(c.pid, 0);
    wait_configured(c);
    proc_stat st = stat_of(c);
    EXPECT_EQ(st.policy, unsigned{SCHED_BATCH});
    EXPECT_EQ(st.nice, nc.nice);
    // An overflowing argument leaves ERANGE behind; it must not become a report.
    expect_killed_quietly(c, "");
}

const nice_case nice_cases[] = {
    {"none_gives_the_default", {}, 19},
    {"five", {"5"}, 5},
    {"trailing_garbage", {"7x"}, 7},
    {"no_digits", {"abc"}, 0},
    {"empty", {""}, 0},
    {"leading_blanks_and_plus", {"  +12"}, 12},
    {"negative", {"-5"}, -5},
    {"two_to_the_32", {"4294967296"}, 0},
    {"two_to_the_32_plus_19", {"4294967315"}, 19},
    {"beyond_64_bits_positive", {"99999999999999999999"}, -1},
    {"beyond_64_bits_negative", {"-99999999999999999999"}, 0},
    {"only_first_counts", {"3", "10"}, 3},
    {"clamped_by_kernel", {"100"}, 19},
};
INSTANTIATE_TEST_SUITE_P(cases, nice_argument, ::testing::ValuesIn(nice_cases), case_name());

struct refusal_case {
    const char *name;
    bool start_idle;
    std::vector<std::string> args;
    unsigned policy;
    long nice; // -100: the nice value it started with
    std::string err;
};

class refusal : public ::testing::TestWithParam<refusal_case> {};

TEST_P(refusal, reports_each_refused_step_once_in_order)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to start a process as user nobody";
    const refusal_case &rc = GetParam();
    child_options options;
    options.as_nobody = true;
    options.start_idle = rc.start_idle;
    child c = start_program(program, rc.args, options);
    ASSERT_GT(c.pid, 0);
    wait_configured(c);
    proc_stat st = stat_of(c);
    EXPECT_EQ(st.policy, rc.policy);
    EXPECT_EQ(st.nice, rc.nice == -100 ? own_nice() : rc.nice);
    expect_killed_quietly(c, rc.err);
}

const std::string nice_line = "setpriority(PRIO_PROCESS, 0, -5): Permission denied\n";
const std::string class_line = std::string(sched_line) + "Operation not permitted\n";
const refusal_case refusal_cases[] = {
    {"nice_refused", false, {"-5"}, SCHED_BATCH, -100, nice_line},
    {"class_refused", true, {}, SCHED_IDLE, 19, class_line}, // no argument: the default nice
    {"both_refused", true, {"-5"}, SCHED_IDLE, -100, class_line + nice_line},
};
INSTANTIATE_TEST_SUITE_P(cases, refusal, ::testing::ValuesIn(refusal_cases), case_name());

struct idle_case {
    const char *name;
    input stdin_kind;
};

class idling : public ::testing::TestWithParam<idle_case> {};

// A spinning loop would use close to a whole second of processor time here.
void expect_sleeping_without_cpu(const child &c)
{
    ASSERT_TRUE(wait_until([&] {
        proc_stat st;
        return read_proc_stat(c.pid, &st) && st.state == 'S' && st.policy == SCHED_BATCH;
    })) << "state "
        << stat_of(c).state;
    unsigned long long before = stat_of(c).cpu_ticks;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    proc_stat after = stat_of(c);
    EXPECT_EQ(after.state, 'S');
    EXPECT_LE(after.cpu_ticks - before, 5u) << "ticks used in one second";
}

TEST_P(idling, sleeps_once_input_ends_and_drains_it_while_open)
{
    const idle_case &ic = GetParam();
    child_options options;
    options.stdin_kind = ic.stdin_kind;
    child c = start_program(program, {}, options);
    ASSERT_GT(c.pid, 0);
    if (c.in >= 0) {
        expect_sleeping_without_cpu(c);
        // Four times the pipe's capacity: the writer finishes only if it is
        // drained. The pipe is shrunk to one page, since the emulated bionic
        // getchar drains only some hundred kilobytes a second.
        ASSERT_GT(fcntl(c.in, F_SETPIPE_SZ, 4096), 0);
        std::string block(static_cast<size_t>(fcntl(c.in, F_GETPIPE_SZ)), 'y');
        fcntl(c.in, F_SETFL, O_NONBLOCK);
        size_t total = 0;
        ASSERT_TRUE(wait_until([&] {
            ssize_t n = write(c.in, block.data(), block.size());
            total += n > 0 ? static_cast<size_t>(n) : 0;
            return total >= 4 * block.size();
        }));
        ASSERT_TRUE(wait_until([&] { return pipe_unread(c.in) == 0; }));
        close(c.in);
        c.in = -1;
    }
    expect_sleeping_without_cpu(c);
    expect_killed_quietly(c, "");
}

const idle_case idle_cases[] = {
    {"end_of_file", input::dev_null},
    {"closed", input::closed},
    {"pipe_then_end", input::pipe},
    {"nonblocking_pipe_then_end", input::pipe_nonblocking},
};
INSTANTIATE_TEST_SUITE_P(cases, idling, ::testing::ValuesIn(idle_cases), case_name());

} // namespace
