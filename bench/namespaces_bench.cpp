// SPDX-FileCopyrightText: 2026 The proc-utilities authors
// SPDX-License-Identifier: Apache-2.0
// read_namespace_ids on this process against its floor: the six stat calls
// it cannot do without, on the same paths, formatted beforehand.
#include "greeter/namespaces.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void read_namespace_ids_self(benchmark::State &state)
{
    pid_t pid = getpid();
    process_record record;
    for (auto _ : state) {
        benchmark::DoNotOptimize(read_namespace_ids(pid, &record));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(read_namespace_ids_self);

void floor_six_stats(benchmark::State &state)
{
    char paths[NAMESPACE_KIND_COUNT][50];
    for (int i = 0; i < NAMESPACE_KIND_COUNT; i++)
        (void)snprintf(paths[i], sizeof paths[i], "/proc/%i/ns/%s", getpid(),
                       namespace_kind_name(i));
    struct stat st;
    for (auto _ : state) {
        for (const char *path : paths)
            benchmark::DoNotOptimize(stat(path, &st));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(floor_six_stats);

} // namespace
