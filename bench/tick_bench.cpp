// One tick of the program against the same work done with raw system calls.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform.h"
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

// The least a tick can do: the same system calls, no stream, no strings, no error objects.
void FloorTick(benchmark::State& state) {
  ScratchDir scratch;
  static const char* const kTags[] = {"sco", "sol", "pyr", "dem", "hev",
                                      "eng", "med", "sni", "spy"};
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  for (auto _ : state) {
    sigprocmask(SIG_BLOCK, &set, nullptr);
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    tzset();
    tm local;
    localtime_r(&now.tv_sec, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02u_%02d_%02d__%02d_%02d_%02d",
                  static_cast<unsigned>(static_cast<std::uint16_t>(local.tm_year + 1900 - 2000)),
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    for (const char* tag : kTags) {
      char name[16];
      std::snprintf(name, sizeof name, "demo_%s.cfg", tag);
      char content[128];
      const int size =
          std::snprintf(content, sizeof content,
                        "alias autorec \"stop; record %s_%s\"\r\ntry_rec\r\n", stamp, tag);
      const int fd = open(name, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
      if (fd < 0 || write(fd, content, static_cast<std::size_t>(size)) != size ||
          ftruncate(fd, size) != 0 || close(fd) != 0) {
        state.SkipWithError("a raw system call failed");
        break;
      }
    }
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
  }
}
BENCHMARK(FloorTick);

}  // namespace

BENCHMARK_MAIN();
