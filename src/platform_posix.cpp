#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <iterator>

#include "platform.h"

namespace platform {
namespace {

[[noreturn]] void RaiseLastError() {
  throw EInOutError(errno);
}

int Fd(std::intptr_t handle) {
  return static_cast<int>(handle);
}

sigset_t InterruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGHUP);
  return set;
}

struct ErrorMeaning {
  int code;
  // cppcheck-suppress unusedStructMember ; read through std::find_if
  IoErrorKind kind;
};

constexpr ErrorMeaning kErrorMeanings[] = {
    {ENOENT, IoErrorKind::kFileNotFound},          {ENOTDIR, IoErrorKind::kInvalidFilename},
    {ENAMETOOLONG, IoErrorKind::kInvalidFilename}, {EMFILE, IoErrorKind::kTooManyOpenFiles},
    {ENFILE, IoErrorKind::kTooManyOpenFiles},      {EACCES, IoErrorKind::kAccessDenied},
    {EPERM, IoErrorKind::kAccessDenied},           {EISDIR, IoErrorKind::kAccessDenied},
    {EROFS, IoErrorKind::kAccessDenied},
};

}  // namespace

File File::OpenForRewrite(const std::string& name) {
  // No O_TRUNC: a reader must never find the file empty, so it is cut only after the write.
  int fd;
  do {
    fd = open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) RaiseLastError();
  return File(fd, true);
}

File File::StandardOutput() {
  if (fcntl(STDOUT_FILENO, F_GETFD) < 0) throw EInOutError(kStdoutNotOpen);
  return File(STDOUT_FILENO, false);
}

File::File(File&& other) noexcept : handle_(other.handle_), owned_(other.owned_) {
  other.owned_ = false;
}

File::~File() {
  if (owned_) close(Fd(handle_));
}

void File::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = write(Fd(handle_), data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      RaiseLastError();
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void File::CutAt(std::uint64_t size) {
  // A device or a pipe has no length to cut (EINVAL); a regular file always has.
  if (ftruncate(Fd(handle_), static_cast<off_t>(size)) < 0 && errno != EINVAL) RaiseLastError();
}

void File::Close() {
  owned_ = false;
  // After EINTR the descriptor is already released on Linux; retrying could close another file.
  if (close(Fd(handle_)) < 0 && errno != EINTR) RaiseLastError();
}

void WriteStdoutIgnoringFailure(const char* data, std::size_t size) noexcept {
  while (size > 0) {
    const ssize_t written = write(STDOUT_FILENO, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

bool File::IsConsole() const {
  return isatty(Fd(handle_)) == 1;
}

void InitProcess() {
  // A write to a pipe without reader, or past the file-size limit, must fail with its error
  // code and reach the failure report instead of ending the process silently.
  (void)signal(SIGPIPE, SIG_IGN);
  (void)signal(SIGXFSZ, SIG_IGN);
}

void HoldInterrupts() {
  const sigset_t set = InterruptSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
}

void ReleaseInterrupts() {
  const sigset_t set = InterruptSignals();
  pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
}

ClockReading ReadLocalClock() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  // tzset picks up a change of TZ or of the system's zone while the program runs.
  tzset();
  tm local{};
  localtime_r(&now.tv_sec, &local);
  return ClockReading{static_cast<std::uint16_t>(local.tm_year + 1900),
                      static_cast<std::uint16_t>(local.tm_mon + 1),
                      static_cast<std::uint16_t>(local.tm_mday),
                      static_cast<std::uint16_t>(local.tm_hour),
                      static_cast<std::uint16_t>(local.tm_min),
                      static_cast<std::uint16_t>(local.tm_sec),
                      static_cast<std::uint16_t>(now.tv_nsec / 1000000)};
}

void SleepMs(std::uint32_t milliseconds) {
  if (milliseconds == 0) {
    sched_yield();
    return;
  }
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1000000L};
  while (nanosleep(&remaining, &remaining) < 0 && errno == EINTR) {
  }
}

IoErrorKind ClassifyError(std::int32_t code) {
  const auto* const found =
      std::find_if(std::begin(kErrorMeanings), std::end(kErrorMeanings),
                   [code](const ErrorMeaning& meaning) { return meaning.code == code; });
  return found == std::end(kErrorMeanings) ? IoErrorKind::kOther : found->kind;
}

std::string ExecutableName() {
  char path[4096];
  const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return "demostamp";
  const std::string full(path, static_cast<std::size_t>(length));
  return full.substr(full.find_last_of('/') + 1);
}

std::uint32_t OffsetInExecutable(const void* place) {
  Dl_info info{};
  if (dladdr(place, &info) == 0 || info.dli_fbase == nullptr) return 0;
  const auto offset =
      reinterpret_cast<std::uintptr_t>(place) - reinterpret_cast<std::uintptr_t>(info.dli_fbase);
  return static_cast<std::uint32_t>(offset);
}

}  // namespace platform
