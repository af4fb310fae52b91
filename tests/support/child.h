/* SPDX-FileCopyrightText: 2026 The proc-utilities authors */
/* SPDX-License-Identifier: Apache-2.0 */
// Starting the programs under test as real processes and watching them from
// outside, through /proc, the way an administrator would.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

enum class input : std::uint8_t { pipe, pipe_nonblocking, dev_null, closed };
enum class output : std::uint8_t { pipe, dev_full, closed, file };

struct child_options {
    input stdin_kind = input::pipe;
    output stdout_kind = output::pipe;
    std::string stdout_file; // with output::file
    std::string stdin_text;  // with input::pipe*: waiting in the pipe before the program starts
    bool as_nobody = false;  // drop to user nobody before exec
    bool start_idle = false; // start in SCHED_IDLE with RLIMIT_NICE 0
};

struct child {
    pid_t pid = -1;
    int in = -1;  // write end of its standard input, with input::pipe*
    int out = -1; // read end of its standard output, with output::pipe
    int err = -1; // read end of its standard error
};

struct finished {
    int status = 0; // as waitpid gives it
    std::string out, err;
};

struct proc_stat {
    char state = '?';
    long nice = 0;
    unsigned policy = 0;
    unsigned long long cpu_ticks = 0; // utime + stime
};

constexpr uid_t nobody_uid = 65534;
constexpr gid_t nobody_gid = 65534;

// What the build tells a suite in its environment: the path of a program
// under test, in the variable given (the run stops when it is not set), and
// the C library that program was built on: "glibc" or "bionic".
std::string program_under_test(const char *variable);
std::string libc_under_test();

// Starts program with args, through the emulator named by TEST_EMULATOR, if any.
child start_program(const std::string &program, const std::vector<std::string> &args,
                    const child_options &options = {});
// Sends sig (unless 0), reaps the child and collects what it wrote.
finished end_program(child &c, int sig);

bool read_proc_stat(pid_t pid, proc_stat *st);
// The pid of a child that has ended and been reaped: for now, no process's.
pid_t reaped_pid();
// The kernel's limit: process ids stay below it.
pid_t pid_max();
// Polls cond every few milliseconds for up to timeout_ms.
bool wait_until(const std::function<bool()> &cond, int timeout_ms = 20000);
// The whole content of a file, or "" when it cannot be read.
std::string read_file(const std::string &path);
// Bytes written to a pipe and not yet read by the other end.
int pipe_unread(int fd);
// A copy of an executable that user nobody may run, whatever the build tree's permissions.
std::string shareable_copy(const std::string &path);
void remove_shareable_copy(const std::string &copy);

// The kernel's own account, to check the deliverables against. The number in
// the text of the link /proc/<pid>/ns/<kind>, "net:[4026531840]", or 0 when
// the link cannot be read.
uint64_t namespace_link_id(pid_t pid, const char *kind);
// The name lookup_wchan gives a sleeper whose /proc/<pid>/wchan reads text: a
// plain name as it is, a decorated one as a table writes it out. A decorated
// text the table lacks comes back as it is, and fails: add it to the table.
std::string sleepers_wchan(const std::string &text);

// Names a parameterised case after the name field of its table row.
struct case_name {
    template <class Info> std::string operator()(const Info &row) const { return row.param.name; }
};
