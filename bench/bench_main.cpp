#include "bench_app.h"

#include <benchmark/benchmark.h>

#include <cstdlib>

// The main function of the benchmarks of the application: Qt's offscreen platform unless another
// is asked for, and an orderly end.
int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    endBenchApplication();
    return 0;
}
