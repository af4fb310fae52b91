// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// lookup_wchan against real processes and their /proc files; and, through the
// open this program supplies to the object, against file contents that the
// kernel will not produce on demand.
#include "child.h"

#include <wchan/wchan.h>

#include <climits>
#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// Linked with -Wl,--wrap=open: every open in this program, the object's
// included, comes here first.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
extern "C" int __real_open(const char *path, int flags, ...);

namespace {

struct open_call {
    std::string path;
    int flags;
};
std::vector<open_call> opens;

// While set, opening redirect_from opens redirect_to instead.
std::string redirect_from, redirect_to;

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
    opens.push_back({path, flags});
    if (!redirect_from.empty() && redirect_from == path)
        path = redirect_to.c_str();
    return __real_open(path, flags, mode);
}

namespace {

// No process can have this id (the kernel's limit is 4194304), so without the
// redirect the open fails.
constexpr pid_t fixture_pid = 7777777;
const char fixture_wchan[] = "/proc/7777777/wchan";

std::string fixture_dir;

class fixture_env : public ::testing::Environment {
public:
    void SetUp() override
    {
        char dir[] = "/tmp/wchan-test-XXXXXX";
        ASSERT_NE(mkdtemp(dir), nullptr);
        fixture_dir = dir;
    }
    void TearDown() override
    {
        unlink((fixture_dir + "/wchan").c_str());
        rmdir(fixture_dir.c_str());
    }
};
const auto *env = ::testing::AddGlobalTestEnvironment(new fixture_env);

// lookup_wchan of a process whose wchan file holds content.
const char *lookup_content(const std::string &content)
{
    std::string file = fixture_dir + "/wchan";
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
    redirect_from = fixture_wchan;
    redirect_to = file;
    const char *result = lookup_wchan(fixture_pid);
    redirect_from.clear();
    return result;
}

// A process whose wchan file opens but cannot be read: a directory.
const char *lookup_unreadable()
{
    redirect_from = fixture_wchan;
    redirect_to = fixture_dir;
    const char *result = lookup_wchan(fixture_pid);
    redirect_from.clear();
    return result;
}

// A descriptor left open would take the lowest free number.
int lowest_free_fd()
{
    int fd = open("/dev/null", O_RDONLY);
    close(fd);
    // cppcheck-suppress deallocret ; the number is wanted, not the descriptor
    return fd;
}

std::string repeat_alphabet(size_t length)
{
    std::string text;
    while (text.size() < length)
        text += static_cast<char>('a' + text.size() % 26);
    return text;
}

struct content_case {
    const char *name;
    std::string content;
    std::string expected;
};

class file_content : public ::testing::TestWithParam<content_case> {};

TEST_P(file_content, gives_the_name_stripped_or_a_fixed_text)
{
    const content_case &cc = GetParam();
    int free_fd = lowest_free_fd();
    opens.clear();
    const char *result = lookup_content(cc.content);
    ASSERT_NE(result, nullptr);
    EXPECT_EQ(std::string(result), cc.expected);
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].flags, O_RDONLY);
    EXPECT_EQ(lowest_free_fd(), free_fd) << "descriptor left open";
}

const std::string alphabet_100 = repeat_alphabet(100);
const content_case content_cases[] = {
    {"zero", "0", "-"},
    {"zero_zero", "00", "00"},
    {"zero_newline", "0\n", "0\n"},
    {"plain_name", "do_wait", "do_wait"},
    {"trailing_newline_stays", "do_wait\n", "do_wait\n"},
    {"two_underscores", "__x", "x"},
    {"full_stop_two_underscores", ".__x", "x"},
    {"full_stop_underscore_full_stop", "._.x", ".x"},
    {"one_full_stop_only", "..x", ".x"},
    {"no_full_stop_after_underscores", "_.x", ".x"},
    {"inner_underscores_stay", "__do_sys_pause", "do_sys_pause"},
    {"only_underscores", "____", ""},
    {"only_full_stop", ".", ""},
    {"bytes_63_whole", alphabet_100.substr(0, 63), alphabet_100.substr(0, 63)},
    {"bytes_64_cut", alphabet_100.substr(0, 64), alphabet_100.substr(0, 63)},
    {"bytes_100_cut", alphabet_100, alphabet_100.substr(0, 63)},
    {"bytes_100_stripped_after_cut", ".__" + alphabet_100.substr(0, 97),
     alphabet_100.substr(0, 60)},
    {"empty_file", "", "?"},
};
INSTANTIATE_TEST_SUITE_P(cases, file_content, ::testing::ValuesIn(content_cases), case_name());

TEST(file_content, opens_but_cannot_be_read_gives_question_mark)
{
    int free_fd = lowest_free_fd();
    EXPECT_STREQ(lookup_unreadable(), "?");
    EXPECT_EQ(lowest_free_fd(), free_fd) << "descriptor left open";
}

TEST(results, next_call_overwrites_a_name_and_fixed_texts_stay)
{
    const char *first = lookup_content("do_wait");
    const char *second = lookup_content("pipe_read");
    EXPECT_EQ(first, second);
    EXPECT_STREQ(first, "pipe_read");

    const char *dash = lookup_content("0");
    const char *question = lookup_content("");
    const char *unreadable = lookup_unreadable();
    lookup_content("-?");
    EXPECT_STREQ(dash, "-");
    EXPECT_STREQ(question, "?");
    EXPECT_STREQ(unreadable, "?");
    EXPECT_STREQ(first, "-?");
}

struct path_case {
    const char *name;
    pid_t pid;
    const char *path;
};

class path : public ::testing::TestWithParam<path_case> {};

TEST_P(path, is_the_pid_in_signed_decimal_opened_read_only)
{
    const path_case &pc = GetParam();
    opens.clear();
    EXPECT_STREQ(lookup_wchan(pc.pid), "?"); // none of these is a process
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].path, pc.path);
    EXPECT_EQ(opens[0].flags, O_RDONLY);
}

const path_case path_cases[] = {
    {"zero", 0, "/proc/0/wchan"},
    {"minus_one", -1, "/proc/-1/wchan"},
    {"int_min", INT_MIN, "/proc/-2147483648/wchan"},
    {"int_max", INT_MAX, "/proc/2147483647/wchan"},
    {"beyond_pid_limit", 4194304, "/proc/4194304/wchan"},
};
INSTANTIATE_TEST_SUITE_P(cases, path, ::testing::ValuesIn(path_cases), case_name());

struct sleeper_case {
    const char *name;
    void (*sleep)(int ready_fd, int wake_fd);
};

class sleeping_child : public ::testing::TestWithParam<sleeper_case> {};

TEST_P(sleeping_child, gives_its_proc_text_stripped)
{
    int ready[2], wake[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(wake), 0);
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        close(ready[0]);
        close(wake[1]);
        GetParam().sleep(ready[1], wake[0]);
        _exit(0);
    }
    close(ready[1]);
    close(wake[0]);
    char byte;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    ASSERT_TRUE(wait_until([&] {
        proc_stat st;
        return read_proc_stat(pid, &st) && st.state == 'S';
    }));

    // The text read before and after the call must agree, or the child moved.
    // A task that has just gone to sleep may still be queued for a moment
    // (the scheduler can delay its dequeue) and read 0 until it is not.
    std::string file = "/proc/" + std::to_string(pid) + "/wchan", text, result;
    bool named = wait_until(
        [&] {
            text = read_file(file);
            result = lookup_wchan(pid);
            // cppcheck-suppress knownConditionTrueFalse ; the file is read again
            return text != "0" && read_file(file) == text;
        },
        3000);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    close(ready[0]);
    close(wake[1]);

    if (!named && text == "0")
        GTEST_SKIP() << "this kernel hides wait channels: " << file << " reads 0";
    ASSERT_TRUE(named) << file << " kept changing";
    EXPECT_NE(result, "?");
    EXPECT_EQ(result, sleepers_wchan(text)) << file << " reads \"" << text << '"';
}

const sleeper_case sleeper_cases[] = {
    {"pipe_read",
     [](int ready, int wake) {
         char byte;
         (void)!write(ready, "r", 1);
         (void)!read(wake, &byte, 1);
     }},
    {"pause",
     [](int ready, int) {
         (void)!write(ready, "r", 1);
         pause();
     }},
    {"nanosleep",
     [](int ready, int) {
         (void)!write(ready, "r", 1);
         sleep(60);
     }},
};
INSTANTIATE_TEST_SUITE_P(cases, sleeping_child, ::testing::ValuesIn(sleeper_cases), case_name());

TEST(calling_process, is_running_and_gives_dash)
{
    EXPECT_STREQ(lookup_wchan(getpid()), "-");
}

TEST(no_proc_entry, gives_question_mark)
{
    pid_t pid = reaped_pid();
    std::string dir = "/proc/" + std::to_string(pid);
    if (access(dir.c_str(), F_OK) == 0)
        GTEST_SKIP() << "pid " << pid << " was taken again at once";
    EXPECT_STREQ(lookup_wchan(pid), "?") << "reaped child " << pid;

    ASSERT_GT(pid_max(), 0);
    EXPECT_STREQ(lookup_wchan(pid_max()), "?") << "pid_max " << pid_max();
}

TEST(descriptors, none_left_open_after_many_calls)
{
    int free_fd = lowest_free_fd();
    for (int i = 0; i < 1000; i++) {
        lookup_wchan(getpid());
        lookup_wchan(-1);
        lookup_content(i % 2 ? "do_wait" : "");
        lookup_unreadable();
    }
    EXPECT_EQ(lowest_free_fd(), free_fd);
}

} // namespace
