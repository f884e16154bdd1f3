// The whole-process floor: demostamp 0 reduced to its raw system calls, for comparison.
#include <sched.h>

#include <cstdio>

#include "raw_tick.h"

int main() {
  const sigset_t interrupts = RawInterruptSignals();
  std::fputs("Update every 0 seconds\r\nExit: Ctrl+C\r\n", stdout);
  std::fflush(stdout);
  while (RawTick(interrupts, false)) sched_yield();
  return 1;
}
