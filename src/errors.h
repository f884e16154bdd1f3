// The error classes and the failure report that ends a run.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

// The root of every error the program raises. It remembers where it was raised so that the
// failure report can name the place.
class Exception : public std::exception {
 public:
  Exception(std::string message, const void* place);
  const char* what() const noexcept override { return message_.c_str(); }
  virtual const char* ClassName() const noexcept { return "Exception"; }
  const void* Place() const noexcept { return place_; }

 private:
  std::string message_;
  const void* place_;
};

// A text that is not a valid integer, or not a usable interval.
class EConvertError : public Exception {
 public:
  explicit EConvertError(std::string message);
  const char* ClassName() const noexcept override { return "EConvertError"; }
};

// What a failed file or console operation means, whatever the platform's own code.
enum class IoErrorKind {
  kFileNotFound,
  kInvalidFilename,
  kTooManyOpenFiles,
  kAccessDenied,
  kOther
};

// A failed file or console operation, carrying the operating system's error code.
class EInOutError : public Exception {
 public:
  explicit EInOutError(std::int32_t code);
  const char* ClassName() const noexcept override { return "EInOutError"; }
  std::int32_t Code() const noexcept { return code_; }

 private:
  std::int32_t code_;
};

// The code used when standard output is not open at all.
inline constexpr std::int32_t kStdoutNotOpen = 105;

// The message of an EInOutError of the given kind and code.
std::string InOutMessage(IoErrorKind kind, std::int32_t code);

// The report's first write: two lines, the first ended by LF alone, cut to what fits a 1024-byte
// buffer with its closing zero. The caller adds the final CR LF as a second write.
std::string FailureReport(std::string_view class_name, std::string_view module,
                          std::uint32_t offset, std::string_view message);
