// Small helpers shared by the benchmarks: a clock, the best of a few runs,
// and a warning when the build carries the sanitizers.
#pragma once

#include <chrono>
#include <cstdio>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define BENCH_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define BENCH_SANITIZED 1
#endif

inline void warnIfSanitized()
{
#ifdef BENCH_SANITIZED
    std::printf("warning: built with sanitizers; run bench/run.sh for honest figures\n");
#endif
}

// Seconds of the fastest of `runs` calls of f.
template <typename F>
double bestOf(int runs, F f)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        f();
        std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
        if (took.count() < best)
            best = took.count();
    }
    return best;
}
