#include <windows.h>

#include <algorithm>
#include <iterator>

#include "platform.h"

namespace platform {
namespace {

[[noreturn]] void RaiseLastError() {
  throw EInOutError(static_cast<std::int32_t>(GetLastError()));
}

HANDLE Handle(std::intptr_t handle) {
  return reinterpret_cast<HANDLE>(handle);
}

// Held by the update loop for the length of a tick, and taken for good by an interrupt.
CRITICAL_SECTION tick_lock;

// Runs on a thread of its own: waits for the tick in progress, keeps the next one from
// starting, and lets the default action end the process.
BOOL WINAPI OnInterrupt(DWORD) {
  EnterCriticalSection(&tick_lock);
  return FALSE;
}

struct ErrorMeaning {
  DWORD code;
  // cppcheck-suppress unusedStructMember ; read through std::find_if
  IoErrorKind kind;
};

constexpr ErrorMeaning kErrorMeanings[] = {
    {ERROR_FILE_NOT_FOUND, IoErrorKind::kFileNotFound},
    {ERROR_PATH_NOT_FOUND, IoErrorKind::kInvalidFilename},
    {ERROR_TOO_MANY_OPEN_FILES, IoErrorKind::kTooManyOpenFiles},
    {ERROR_ACCESS_DENIED, IoErrorKind::kAccessDenied},
};

}  // namespace

File File::OpenForRewrite(const std::string& name) {
  // OPEN_ALWAYS, not CREATE_ALWAYS: a reader must never find the file empty, so it is cut only
  // after the write.
  const HANDLE handle = CreateFileA(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) RaiseLastError();
  return File(reinterpret_cast<std::intptr_t>(handle), true);
}

File File::StandardOutput() {
  const HANDLE handle = GetStdHandle(STD_OUTPUT_HANDLE);
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) throw EInOutError(kStdoutNotOpen);
  return File(reinterpret_cast<std::intptr_t>(handle), false);
}

File::File(File&& other) noexcept : handle_(other.handle_), owned_(other.owned_) {
  other.owned_ = false;
}

File::~File() {
  if (owned_) CloseHandle(Handle(handle_));
}

void File::Write(const char* data, std::size_t size) {
  while (size > 0) {
    const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
    DWORD written = 0;
    if (!WriteFile(Handle(handle_), data, chunk, &written, nullptr)) RaiseLastError();
    data += written;
    size -= written;
  }
}

void File::CutAt(std::uint64_t size) {
  // Only a longer old file is cut: setting the end where it already is lets a reader see a
  // stray byte now and then. A device or pipe has no size and nothing to cut.
  LARGE_INTEGER current;
  if (!GetFileSizeEx(Handle(handle_), &current)) return;
  if (static_cast<std::uint64_t>(current.QuadPart) <= size) return;
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(size);
  if (!SetFilePointerEx(Handle(handle_), end, nullptr, FILE_BEGIN)) RaiseLastError();
  if (!SetEndOfFile(Handle(handle_))) RaiseLastError();
}

void File::Close() {
  owned_ = false;
  if (!CloseHandle(Handle(handle_))) RaiseLastError();
}

bool File::IsConsole() const {
  return GetFileType(Handle(handle_)) == FILE_TYPE_CHAR;
}

void WriteStdoutIgnoringFailure(const char* data, std::size_t size) noexcept {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), data, static_cast<DWORD>(size), &written, nullptr);
}

void InitProcess() {
  InitializeCriticalSection(&tick_lock);
  SetConsoleCtrlHandler(OnInterrupt, TRUE);
}

void HoldInterrupts() {
  EnterCriticalSection(&tick_lock);
}

void ReleaseInterrupts() {
  LeaveCriticalSection(&tick_lock);
}

ClockReading ReadLocalClock() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return ClockReading{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                      now.wMinute, now.wSecond, now.wMilliseconds};
}

void SleepMs(std::uint32_t milliseconds) {
  Sleep(milliseconds);
}

IoErrorKind ClassifyError(std::int32_t code) {
  const auto* const found = std::find_if(std::begin(kErrorMeanings), std::end(kErrorMeanings),
                                         [code](const ErrorMeaning& meaning) {
                                           return static_cast<std::int32_t>(meaning.code) == code;
                                         });
  return found == std::end(kErrorMeanings) ? IoErrorKind::kOther : found->kind;
}

std::string ExecutableName() {
  char path[MAX_PATH + 1];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  if (length == 0) return "demostamp.exe";
  const std::string full(path, length);
  return full.substr(full.find_last_of("\\/") + 1);
}

std::uint32_t OffsetInExecutable(const void* place) {
  const auto base = reinterpret_cast<std::uintptr_t>(GetModuleHandleA(nullptr));
  return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(place) - base);
}

}  // namespace platform
