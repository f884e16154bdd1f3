// The floor the program is measured against: one tick written with raw system calls and
// snprintf, no stream, no strings, no error objects.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>

inline sigset_t RawInterruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

// Returns false when a system call failed.
inline bool RawTick(const sigset_t& interrupts, bool with_seconds) {
  static const char* const kTags[] = {"sco", "sol", "pyr", "dem", "hev",
                                      "eng", "med", "sni", "spy"};
  pthread_sigmask(SIG_BLOCK, &interrupts, nullptr);
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  tzset();
  tm local;
  localtime_r(&now.tv_sec, &local);
  char stamp[40];
  const int length =
      std::snprintf(stamp, sizeof stamp, "%02u_%02d_%02d__%02d_%02d",
                    static_cast<unsigned>(static_cast<std::uint16_t>(local.tm_year + 1900 - 2000)),
                    local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min);
  if (with_seconds) std::snprintf(stamp + length, sizeof stamp - length, "_%02d", local.tm_sec);
  bool ok = true;
  for (const char* tag : kTags) {
    char name[16];
    std::snprintf(name, sizeof name, "demo_%s.cfg", tag);
    char content[128];
    const int size = std::snprintf(
        content, sizeof content, "alias autorec \"stop; record %s_%s\"\r\ntry_rec\r\n", stamp, tag);
    const int fd = open(name, O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0 || write(fd, content, static_cast<std::size_t>(size)) != size ||
        ftruncate(fd, size) != 0 || close(fd) != 0) {
      ok = false;
      break;
    }
  }
  pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
  return ok;
}
