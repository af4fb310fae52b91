// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// lookup_wchan against the floor for its job: the bare open, read and close
// of the same /proc file, with the path made beforehand. What lookup_wchan
// adds is formatting the path and stripping the name.
#include <wchan/wchan.h>

#include <benchmark/benchmark.h>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A child asleep in pause(), so that its wait channel names a kernel function.
struct sleeping_child {
    pid_t pid;
    char path[64];

    sleeping_child()
    {
        pid = fork();
        if (pid == 0) {
            // Ends with the benchmark however that ends.
            prctl(PR_SET_PDEATHSIG, SIGKILL);
            pause();
            _exit(0);
        }
        (void)snprintf(path, sizeof path, "/proc/%d/wchan", pid);
        // Until it is off the run queue the kernel gives 0 instead of a name.
        const timespec millisecond = {0, 1000000};
        for (int i = 0; i < 2000 && strcmp(lookup_wchan(pid), "-") == 0; i++)
            nanosleep(&millisecond, nullptr);
    }
    ~sleeping_child()
    {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};
sleeping_child child;

void floor_open_read_close(benchmark::State &state)
{
    char text[64];
    for (auto _ : state) {
        int fd = open(child.path, O_RDONLY);
        ssize_t n = read(fd, text, sizeof text - 1);
        close(fd);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(floor_open_read_close);

void wchan_lookup(benchmark::State &state)
{
    const char *name = lookup_wchan(child.pid);
    if (strcmp(name, "?") == 0 || strcmp(name, "-") == 0)
        state.SkipWithError("the sleeping child shows no wait channel");
    for (auto _ : state)
        benchmark::DoNotOptimize(lookup_wchan(child.pid));
}
BENCHMARK(wchan_lookup);

} // namespace
