// The main of the window program's benchmarks: the application object on Qt's
// offscreen platform (unless another is asked for), then the benchmarks.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "app/application.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  missivo::MissivoApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
