#include "errors.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "platform.h"

Exception::Exception(std::string message, const void* place)
    : message_(std::move(message)), place_(place) {}

// Not inlined, so that the return address is the place that raised the error.
__attribute__((noinline)) EConvertError::EConvertError(std::string message)
    : Exception(std::move(message), __builtin_return_address(0)) {}

__attribute__((noinline)) EInOutError::EInOutError(std::int32_t code)
    : Exception(InOutMessage(platform::ClassifyError(code), code), __builtin_return_address(0)),
      code_(code) {}

std::string InOutMessage(IoErrorKind kind, std::int32_t code) {
  switch (kind) {
    case IoErrorKind::kFileNotFound:
      return "File not found";
    case IoErrorKind::kInvalidFilename:
      return "Invalid filename";
    case IoErrorKind::kTooManyOpenFiles:
      return "Too many open files";
    case IoErrorKind::kAccessDenied:
      return "File access denied";
    case IoErrorKind::kOther:
      break;
  }
  return "I/O error " + std::to_string(code);
}

std::string FailureReport(std::string_view class_name, std::string_view module,
                          std::uint32_t offset, std::string_view message) {
  const bool add_period = !message.empty() && message.back() != '.';
  char buffer[1024];
  const int length =
      std::snprintf(buffer, sizeof buffer, "Exception %.*s in module %.*s at %08X.\n%.*s%s",
                    static_cast<int>(class_name.size()), class_name.data(),
                    static_cast<int>(module.size()), module.data(), static_cast<unsigned>(offset),
                    static_cast<int>(message.size()), message.data(), add_period ? "." : "");
  if (length < 0) return {};
  return std::string(buffer,
                     std::min<std::size_t>(static_cast<std::size_t>(length), sizeof buffer - 1));
}
