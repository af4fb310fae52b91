// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
#include "child.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <sched.h>
#include <sstream>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

[[noreturn]] void die_in_child(const char *what)
{
    perror(what);
    _exit(127);
}

void open_onto(const char *path, int flags, int fd)
{
    int opened = open(path, flags, 0644);
    if (opened < 0 || dup2(opened, fd) < 0)
        die_in_child(path);
    close(opened);
}

void setup_child(const child_options &o, int in_read, int out_write, int err_write)
{
    switch (o.stdin_kind) {
    case input::pipe:
    case input::pipe_nonblocking:
        if (dup2(in_read, 0) < 0)
            die_in_child("dup2(stdin)");
        if (o.stdin_kind == input::pipe_nonblocking && fcntl(0, F_SETFL, O_NONBLOCK) < 0)
            die_in_child("fcntl(O_NONBLOCK)");
        break;
    case input::dev_null:
        open_onto("/dev/null", O_RDONLY, 0);
        break;
    case input::closed:
        close(0);
        break;
    }
    switch (o.stdout_kind) {
    case output::pipe:
        dup2(out_write, 1);
        break;
    case output::dev_full:
        open_onto("/dev/full", O_WRONLY, 1);
        break;
    case output::closed:
        close(1);
        break;
    case output::file:
        open_onto(o.stdout_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 1);
        break;
    }
    dup2(err_write, 2);

    if (o.start_idle) {
        rlimit none = {0, 0};
        sched_param param = {};
        if (setrlimit(RLIMIT_NICE, &none) != 0)
            die_in_child("setrlimit(RLIMIT_NICE)");
        if (sched_setscheduler(0, SCHED_IDLE, &param) != 0)
            die_in_child("sched_setscheduler(SCHED_IDLE)");
    }
    if (o.as_nobody) {
        if (setgroups(0, nullptr) != 0 || setgid(nobody_gid) != 0 || setuid(nobody_uid) != 0)
            die_in_child("drop to nobody");
    }
    // A test that stops half way leaves no program behind once it exits.
    // Set last: a change of user clears it.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
}

std::string read_all(int fd)
{
    std::string text;
    char chunk[4096];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n > 0)
            text.append(chunk, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            break;
    }
    return text;
}

} // namespace

std::string program_under_test(const char *variable)
{
    const char *path = getenv(variable);
    if (!path || !*path) {
        (void)fprintf(stderr, "%s is not set: it names the program under test\n", variable);
        exit(2);
    }
    return path;
}

std::string libc_under_test()
{
    const char *libc = getenv("TEST_LIBC");
    return libc && *libc ? libc : "glibc";
}

child start_program(const std::string &program, const std::vector<std::string> &args,
                    const child_options &options)
{
    int in[2] = {-1, -1}, out[2] = {-1, -1}, err[2] = {-1, -1};
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        return {};
    // Small enough for the pipe's buffer, so this never blocks.
    const std::string &text = options.stdin_text;
    if (!text.empty() &&
        write(in[1], text.data(), text.size()) != static_cast<ssize_t>(text.size()))
        return {};

    std::vector<std::string> words;
    const char *emulator = getenv("TEST_EMULATOR");
    if (emulator && *emulator)
        words.emplace_back(emulator);
    words.push_back(program);
    words.insert(words.end(), args.begin(), args.end());
    std::vector<char *> argv;
    argv.reserve(words.size() + 1);
    // data() of a const string is a const char *, which the vector cannot hold.
    // cppcheck-suppress constVariableReference
    for (auto &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    child c;
    c.pid = fork();
    if (c.pid == 0) {
        setup_child(options, in[0], out[1], err[1]);
        execv(argv[0], argv.data());
        die_in_child(argv[0]);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    c.in = in[1];
    c.out = out[0];
    c.err = err[0];
    if (options.stdin_kind != input::pipe && options.stdin_kind != input::pipe_nonblocking) {
        close(c.in);
        c.in = -1;
    }
    return c;
}

finished end_program(child &c, int sig)
{
    finished f;
    if (c.in >= 0)
        close(c.in);
    if (c.pid <= 0) // never started: kill(-1) would signal every process
        return f;
    if (sig != 0)
        kill(c.pid, sig);
    while (waitpid(c.pid, &f.status, 0) < 0 && errno == EINTR) {
    }
    f.out = read_all(c.out);
    f.err = read_all(c.err);
    close(c.out);
    close(c.err);
    c = child{};
    return f;
}

bool read_proc_stat(pid_t pid, proc_stat *st)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    if (!std::getline(file, text))
        return false;
    // The command name may hold blanks and parentheses: fields start after the last ')'.
    size_t close_paren = text.rfind(')');
    if (close_paren == std::string::npos)
        return false;
    std::istringstream rest(text.substr(close_paren + 2));
    std::vector<std::string> field(3); // fields are numbered from 1; 1 and 2 are pid and name
    for (std::string word; rest >> word;)
        field.push_back(word);
    if (field.size() <= 41)
        return false;
    st->state = field[3][0];
    st->cpu_ticks = std::stoull(field[14]) + std::stoull(field[15]);
    st->nice = std::stol(field[19]);
    st->policy = static_cast<unsigned>(std::stoul(field[41]));
    return true;
}

pid_t reaped_pid()
{
    pid_t pid = fork();
    if (pid == 0)
        _exit(0);
    waitpid(pid, nullptr, 0);
    return pid;
}

pid_t pid_max()
{
    long max = 0;
    std::ifstream("/proc/sys/kernel/pid_max") >> max;
    return static_cast<pid_t>(max);
}

bool wait_until(const std::function<bool()> &cond, int timeout_ms)
{
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (!cond()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string read_file(const std::string &path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

int pipe_unread(int fd)
{
    int n = -1;
    return ioctl(fd, FIONREAD, &n) == 0 ? n : -1;
}

std::string shareable_copy(const std::string &path)
{
    char dir[] = "/tmp/proc-test-XXXXXX";
    if (!mkdtemp(dir) || chmod(dir, 0755) != 0)
        return {};
    std::string copy = std::string(dir) + "/" + path.substr(path.rfind('/') + 1);
    std::ifstream from(path, std::ios::binary);
    std::ofstream to(copy, std::ios::binary);
    to << from.rdbuf();
    to.close();
    if (!to || chmod(copy.c_str(), 0755) != 0)
        return {};
    return copy;
}

void remove_shareable_copy(const std::string &copy)
{
    if (copy.empty())
        return;
    unlink(copy.c_str());
    rmdir(copy.substr(0, copy.rfind('/')).c_str());
}

uint64_t namespace_link_id(pid_t pid, const char *kind)
{
    std::string path = "/proc/" + std::to_string(pid) + "/ns/" + kind;
    char text[64] = {};
    std::string prefix = std::string(kind) + ":[";
    if (readlink(path.c_str(), text, sizeof text - 1) < 0 ||
        strncmp(text, prefix.c_str(), prefix.size()) != 0)
        return 0;
    return strtoull(text + prefix.size(), nullptr, 10);
}

std::string sleepers_wchan(const std::string &text)
{
    static const char *const decorated[][2] = {
        {"__do_sys_pause", "do_sys_pause"},       // pause(2) on Linux 6
        {"__x64_sys_pause", "x64_sys_pause"},     // and on older x86_64 kernels
        {"__arm64_sys_pause", "arm64_sys_pause"}, // and on older arm64 ones
    };
    for (const auto &name : decorated)
        if (text == name[0])
            return name[1];
    return text;
}
