// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// The namespace identifier reader against the real /proc. What it reads is
// checked against the kernel's own account: the number in each namespace
// link's text, "net:[4026531840]", read with readlink rather than stat.
#include "child.h"
#include "greeter/namespaces.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

static_assert(NAMESPACE_KIND_COUNT == 6, "the tables here know six kinds");

struct reading {
    int result;
    uint64_t ids[NAMESPACE_KIND_COUNT];
};

// Entries left over from an earlier use, and guards on either side of the
// record: every entry must be rewritten and nothing outside it touched.
const uint64_t stale = 0x5757575757575757;

struct guarded_record {
    uint64_t before;
    process_record record;
    uint64_t after;
};

// No gtest assertions here: it also runs in a forked child.
reading read_over_stale(pid_t pid, bool *guards_intact)
{
    guarded_record g;
    g.before = g.after = stale;
    for (uint64_t &id : g.record.namespace_ids)
        id = stale;
    reading r;
    r.result = read_namespace_ids(pid, &g.record);
    memcpy(r.ids, g.record.namespace_ids, sizeof r.ids);
    *guards_intact = g.before == stale && g.after == stale;
    return r;
}

reading read_ids(pid_t pid)
{
    bool intact = false;
    reading r = read_over_stale(pid, &intact);
    EXPECT_TRUE(intact) << "written outside the record";
    return r;
}

void expect_matches_kernel(pid_t pid, const reading &r)
{
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
        EXPECT_EQ(r.ids[i], namespace_link_id(pid, namespace_kind_name(i)))
            << namespace_kind_name(i);
}

TEST(reader, own_process_gets_every_namespace)
{
    reading r = read_ids(getpid());
    EXPECT_EQ(r.result, 0);
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
        EXPECT_NE(r.ids[i], 0u) << namespace_kind_name(i);
    expect_matches_kernel(getpid(), r);
}

// A process of its own that sits in new uts, ipc and net namespaces until killed.
pid_t start_unshared(int *error)
{
    int report[2];
    if (pipe(report) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        int e = unshare(CLONE_NEWUTS | CLONE_NEWIPC | CLONE_NEWNET) == 0 ? 0 : errno;
        (void)!write(report[1], &e, sizeof e);
        for (;;)
            pause();
    }
    close(report[1]);
    if (read(report[0], error, sizeof *error) != sizeof *error)
        *error = EIO;
    close(report[0]);
    return pid;
}

void end_child(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

TEST(reader, other_process_gets_its_own_namespaces)
{
    int error = 0;
    pid_t pid = start_unshared(&error);
    ASSERT_GT(pid, 0);
    if (error != 0) {
        end_child(pid);
        GTEST_SKIP() << "cannot make new namespaces here: " << strerror(error);
    }
    reading theirs = read_ids(pid);
    reading ours = read_ids(getpid());
    EXPECT_EQ(theirs.result, 0);
    expect_matches_kernel(pid, theirs);
    // Index order: ipc, mnt, net, pid, user, uts.
    const bool moved[NAMESPACE_KIND_COUNT] = {true, false, true, false, false, true};
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++) {
        if (moved[i])
            EXPECT_NE(theirs.ids[i], ours.ids[i]) << namespace_kind_name(i);
        else
            EXPECT_EQ(theirs.ids[i], ours.ids[i]) << namespace_kind_name(i);
    }
    end_child(pid);
}

// A dead process not yet reaped keeps its /proc directory, but the kernel no
// longer shows some of its namespace files: those are missing, not errors.
TEST(reader, unreaped_process_misses_some_kinds_silently)
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    ASSERT_GT(pid, 0);
    siginfo_t info = {};
    ASSERT_EQ(waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT), 0);
    reading r = read_ids(pid);
    EXPECT_EQ(r.result, 0);
    expect_matches_kernel(pid, r);
    waitpid(pid, nullptr, 0);
}

struct no_process_case {
    const char *name;
    pid_t (*pid)();
};

class no_process : public ::testing::TestWithParam<no_process_case> {};

TEST_P(no_process, gives_all_zeros_and_no_error)
{
    pid_t pid = GetParam().pid();
    std::string dir = "/proc/" + std::to_string(pid);
    if (access(dir.c_str(), F_OK) == 0)
        GTEST_SKIP() << dir << " exists: pid taken again";
    reading r = read_ids(pid);
    EXPECT_EQ(r.result, 0);
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
        EXPECT_EQ(r.ids[i], 0u) << namespace_kind_name(i);
}

const no_process_case no_process_cases[] = {
    {"reaped", reaped_pid},
    {"pid_max", pid_max},
    {"int_max", [] { return pid_t{INT_MAX}; }},
    {"zero_is_not_self", [] { return pid_t{0}; }},
    {"minus_one", [] { return pid_t{-1}; }},
    {"minus_own_pid", [] { return -getpid(); }},
    {"int_min", [] { return pid_t{INT_MIN}; }},
};
INSTANTIATE_TEST_SUITE_P(cases, no_process, ::testing::ValuesIn(no_process_cases), case_name());

// Read by a forked child running as user nobody; the reading comes back through a pipe.
bool read_as_nobody(pid_t pid, reading *r)
{
    int back[2];
    if (pipe(back) != 0)
        return false;
    pid_t reader = fork();
    if (reader == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(nobody_gid) != 0 || setuid(nobody_uid) != 0)
            _exit(1);
        bool intact = false;
        reading mine = read_over_stale(pid, &intact);
        _exit(intact && write(back[1], &mine, sizeof mine) == sizeof mine ? 0 : 1);
    }
    close(back[1]);
    bool ok = read(back[0], r, sizeof *r) == sizeof *r;
    close(back[0]);
    int status = 0;
    waitpid(reader, &status, 0);
    return ok && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

struct nobody_case {
    const char *name;
    pid_t (*pid)();
    int result;
};

class as_nobody : public ::testing::TestWithParam<nobody_case> {};

TEST_P(as_nobody, is_refused_other_users_processes)
{
    const nobody_case &nc = GetParam();
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to become user nobody";
    pid_t pid = nc.pid();
    struct stat owner;
    ASSERT_EQ(stat(("/proc/" + std::to_string(pid)).c_str(), &owner), 0);
    if (owner.st_uid == nobody_uid)
        GTEST_SKIP() << "pid " << pid << " belongs to nobody here";
    reading r = {};
    ASSERT_TRUE(read_as_nobody(pid, &r))
        << "the reader as nobody failed or wrote outside its record";
    EXPECT_EQ(r.result, nc.result) << strerror(r.result);
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
        EXPECT_EQ(r.ids[i], 0u) << namespace_kind_name(i);
}

const nobody_case nobody_cases[] = {
    {"init", [] { return pid_t{1}; }, EACCES},
    {"root_parent", getpid, EACCES},
};
INSTANTIATE_TEST_SUITE_P(cases, as_nobody, ::testing::ValuesIn(nobody_cases), case_name());

struct name_case {
    const char *name;
    int index;
    const char *kind; // null: no name
};

class kind_name : public ::testing::TestWithParam<name_case> {};

TEST_P(kind_name, is_the_file_name_or_null)
{
    const name_case &nc = GetParam();
    const char *got = namespace_kind_name(nc.index);
    if (nc.kind == nullptr)
        EXPECT_EQ(got, nullptr);
    else
        EXPECT_STREQ(got, nc.kind);
}

const name_case name_cases[] = {
    {"ipc", 0, "ipc"},
    {"mnt", 1, "mnt"},
    {"net", 2, "net"},
    {"pid", 3, "pid"},
    {"user", 4, "user"},
    {"uts", 5, "uts"},
    {"minus_one", -1, nullptr},
    {"count", NAMESPACE_KIND_COUNT, nullptr},
    {"int_min", INT_MIN, nullptr},
    {"int_max", INT_MAX, nullptr},
};
INSTANTIATE_TEST_SUITE_P(cases, kind_name, ::testing::ValuesIn(name_cases), case_name());

} // namespace
