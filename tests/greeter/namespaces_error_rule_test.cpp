// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// The reader's error rule, with failures real /proc cannot produce on demand:
// this test is linked with --wrap=stat, so the reader's stat calls come here
// and each answers as its table row says.
#include "child.h"
#include "greeter/namespaces.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

// What stat does for one path: fail with error, or succeed with ino.
struct outcome {
    int error;
    uint64_t ino;
};
const outcome *script = nullptr; // null: the real stat
std::vector<std::string> asked;  // the paths stat was called with, in order

} // namespace

// The names are the linker's: --wrap=stat sends the reader's calls here.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" int __real_stat(const char *path, struct stat *st);

// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" int __wrap_stat(const char *path, struct stat *st)
{
    if (!script)
        return __real_stat(path, st);
    size_t n = asked.size();
    asked.push_back(path);
    // Garbage in the record either way, and an errno left behind even on
    // success, as the library is allowed to: only the return value and, on
    // failure, errno and nothing else may count.
    memset(st, 0xa5, sizeof *st);
    errno = EILSEQ;
    if (n >= NAMESPACE_KIND_COUNT) {
        errno = EDOM;
        return -1;
    }
    if (script[n].error != 0) {
        errno = script[n].error;
        return -1;
    }
    st->st_ino = script[n].ino;
    return 0;
}

namespace {

const outcome missing = {ENOENT, 0};
outcome found(uint64_t ino)
{
    return {0, ino};
}
outcome fails(int error)
{
    return {error, 0};
}

struct rule_case {
    const char *name;
    pid_t pid;
    outcome outcomes[NAMESPACE_KIND_COUNT];
    int result;
};

struct run {
    int result;
    process_record record;
};

run read_scripted(pid_t pid, const outcome *outcomes)
{
    run r;
    for (uint64_t &id : r.record.namespace_ids)
        id = 0x5757575757575757; // left from an earlier call
    asked.clear();
    script = outcomes;
    r.result = read_namespace_ids(pid, &r.record);
    script = nullptr;
    return r;
}

class error_rule : public ::testing::TestWithParam<rule_case> {};

TEST_P(error_rule, result_is_the_last_error_other_than_enoent)
{
    const rule_case &rc = GetParam();
    run r = read_scripted(rc.pid, rc.outcomes);

    EXPECT_EQ(r.result, rc.result) << strerror(r.result);
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
        EXPECT_EQ(r.record.namespace_ids[i], rc.outcomes[i].error ? 0 : rc.outcomes[i].ino) << i;

    // Every kind examined once, in index order, whatever failed before it.
    std::vector<std::string> paths;
    paths.reserve(NAMESPACE_KIND_COUNT);
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
        paths.push_back("/proc/" + std::to_string(rc.pid) + "/ns/" + namespace_kind_name(i));
    EXPECT_EQ(asked, paths);
}

const uint64_t ipc_ino = 4026531839, mnt_ino = 4026531841, net_ino = 4026531840;
const uint64_t pid_ino = 4026531836, user_ino = 4026531837, uts_ino = 4026531838;
const uint64_t wide = 0xfedcba9876543210; // all 64 bits kept

// clang-format off: one row a line reads as a table
const rule_case rule_cases[] = {
    {"all_found",
     4242,
     {found(ipc_ino), found(mnt_ino), found(net_ino), found(pid_ino), found(user_ino),
      found(uts_ino)},
     0},
    {"wide_inode_numbers",
     1,
     {found(wide), found(1), found(wide - 1), found(2), found(UINT32_MAX + 1ull), found(3)},
     0},
    {"all_missing", 4242, {missing, missing, missing, missing, missing, missing}, 0},
    {"some_missing_one_failing",
     4242,
     {missing, found(mnt_ino), fails(EACCES), missing, found(user_ino), missing},
     EACCES},
    {"two_errors_higher_index_wins",
     4242,
     {found(ipc_ino), fails(ELOOP), found(net_ino), found(pid_ino), fails(EACCES), found(uts_ino)},
     EACCES},
    {"index_order_not_error_size",
     4242,
     {fails(EACCES), found(mnt_ino), found(net_ino), found(pid_ino), found(user_ino), fails(EPERM)},
     EPERM},
    {"error_outlives_later_found",
     4242,
     {fails(EIO), found(mnt_ino), found(net_ino), found(pid_ino), found(user_ino), found(uts_ino)},
     EIO},
    {"error_outlives_later_missing",
     4242,
     {found(ipc_ino), found(mnt_ino), fails(ENOMEM), missing, missing, missing},
     ENOMEM},
    {"every_kind_failing",
     4242,
     {fails(EACCES), fails(EPERM), fails(EIO), fails(ENOMEM), fails(ELOOP), fails(ENAMETOOLONG)},
     ENAMETOOLONG},
    {"negative_pid_keeps_its_sign", -7, {missing, missing, missing, missing, missing, missing}, 0},
    {"int_min_pid",
     INT_MIN,
     {missing, missing, fails(ENOTDIR), missing, missing, missing},
     ENOTDIR},
    {"int_max_pid", INT_MAX, {fails(EACCES), missing, missing, missing, missing, missing}, EACCES},
};
// clang-format on
INSTANTIATE_TEST_SUITE_P(cases, error_rule, ::testing::ValuesIn(rule_cases), case_name());

// Nothing is kept between calls: a failed call leaves no error for the next.
TEST(error_rule_state, each_call_starts_clean)
{
    const outcome failing[] = {fails(EACCES), missing, missing, missing, missing, fails(EIO)};
    const outcome fine[] = {found(ipc_ino), found(mnt_ino),  found(net_ino),
                            found(pid_ino), found(user_ino), found(uts_ino)};
    EXPECT_EQ(read_scripted(1, failing).result, EIO);
    run r = read_scripted(1, fine);
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.record.namespace_ids[0], ipc_ino);
    EXPECT_EQ(r.record.namespace_ids[5], uts_ino);
}

} // namespace
