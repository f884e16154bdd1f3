// The whole-process floor: demostamp 0 reduced to its raw system calls, for comparison.
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

int main() {
  static const char* const kTags[] = {"sco", "sol", "pyr", "dem", "hev",
                                      "eng", "med", "sni", "spy"};
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  std::fputs("Update every 0 seconds\r\nExit: Ctrl+C\r\n", stdout);
  std::fflush(stdout);
  for (;;) {
    sigprocmask(SIG_BLOCK, &set, nullptr);
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    tzset();
    tm local;
    localtime_r(&now.tv_sec, &local);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%02u_%02d_%02d__%02d_%02d",
                  static_cast<unsigned>(static_cast<std::uint16_t>(local.tm_year + 1900 - 2000)),
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
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
        return 1;
      }
    }
    sigprocmask(SIG_UNBLOCK, &set, nullptr);
    sched_yield();
  }
}
