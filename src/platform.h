// Everything the program needs from the operating system, behind one interface with one
// implementation per platform. Failures raise EInOutError with the platform's own error code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "errors.h"

namespace platform {

// One reading of the local wall clock.
struct ClockReading {
  std::uint16_t year;
  std::uint16_t month;
  std::uint16_t day;
  std::uint16_t hour;
  std::uint16_t minute;
  std::uint16_t second;
  std::uint16_t millisecond;
};

// A file opened for writing, or standard output.
class File {
 public:
  // Opens an existing file without truncating it, or creates it, for writing only.
  static File OpenForRewrite(const std::string& name);
  // Raises EInOutError(kStdoutNotOpen) when the process has no standard output.
  static File StandardOutput();

  File(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  File& operator=(File&&) = delete;
  // Releases a file that an error left open, without testing the result.
  ~File();

  // Writes every byte, continuing short writes.
  void Write(const char* data, std::size_t size);
  // Makes the file end at `size`; the bytes before it are already written.
  void CutAt(std::uint64_t size);
  void Close();
  // A console is written out at every line end; a file or pipe only when its buffer fills.
  bool IsConsole() const;

 private:
  File(std::intptr_t handle, bool owned) : handle_(handle), owned_(owned) {}
  std::intptr_t handle_;
  bool owned_;
};

// The failure report's way out: one attempt to write, whatever the state of standard output.
void WriteStdoutIgnoringFailure(const char* data, std::size_t size) noexcept;

// Ignores the signals that would end the process silently on a failed write, and readies the
// holding of interrupts.
void InitProcess();

// Interrupts (Ctrl+C and its kin) that arrive between these two calls take effect at the second.
void HoldInterrupts();
void ReleaseInterrupts();

ClockReading ReadLocalClock();

// Pauses for `milliseconds`; 0 only yields the processor.
void SleepMs(std::uint32_t milliseconds);

// The meaning of one of the platform's error codes.
IoErrorKind ClassifyError(std::int32_t code);

// The running executable's file name without its directory.
std::string ExecutableName();

// The low 32 bits of `place`'s distance from the start of the loaded executable.
std::uint32_t OffsetInExecutable(const void* place);

}  // namespace platform
