// One tick of the program against the same work done with raw system calls.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform.h"
#include "raw_tick.h"
#include "script_writer.h"
#include "stamp.h"

namespace {

// Runs the benchmarks in a scratch directory, so that both write the same nine files.
class ScratchDir {
 public:
  ScratchDir() {
    char pattern[] = "/tmp/demostamp-bench-XXXXXX";
    dir_ = mkdtemp(pattern);
    std::filesystem::current_path(dir_);
  }
  ~ScratchDir() {
    std::filesystem::current_path("/");
    std::filesystem::remove_all(dir_);
  }

 private:
  std::filesystem::path dir_;
};

void ProgramTick(benchmark::State& state) {
  ScratchDir scratch;
  for (auto _ : state) {
    platform::HoldInterrupts();
    const std::string stamp = MakeStamp(platform::ReadLocalClock(), true);
    for (const std::string_view tag : Tags) WriteScript(tag, stamp);
    platform::ReleaseInterrupts();
  }
}
BENCHMARK(ProgramTick);

void FloorTick(benchmark::State& state) {
  ScratchDir scratch;
  const sigset_t interrupts = RawInterruptSignals();
  for (auto _ : state) {
    if (!RawTick(interrupts, true)) state.SkipWithError("a raw system call failed");
  }
}
BENCHMARK(FloorTick);

}  // namespace

BENCHMARK_MAIN();
