// Paints per second, shared by the drawing benchmarks: a warm-up, then batches until the
// measuring time is up, each batch flushed so that queued GDI work is counted.
#pragma once
#include <windows.h>

inline double now_seconds()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

template <typename Target>
double rate(void (*operation)(const Target&), const Target& target, double seconds)
{
    for (int i = 0; i < 20; ++i) // warm caches and the font mapper
        operation(target);
    GdiFlush();
    long long count = 0;
    const double start = now_seconds();
    double elapsed = 0;
    do {
        for (int i = 0; i < 25; ++i)
            operation(target);
        GdiFlush();
        count += 25;
        elapsed = now_seconds() - start;
    } while (elapsed < seconds);
    return double(count) / elapsed;
}
