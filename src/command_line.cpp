#include "command_line.h"

#include "errors.h"

namespace {

constexpr bool IsDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

constexpr int HexValue(char c) {
  if (IsDecimalDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::int32_t> ParseDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  // Accumulated as a magnitude up to 2^31 so that -2147483648 converts.
  const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
  std::int64_t magnitude = 0;
  for (const char c : text) {
    if (!IsDecimalDigit(c)) return std::nullopt;
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > limit) return std::nullopt;
  }
  return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::optional<std::int32_t> ParseHexDigits(std::string_view digits) {
  if (digits.empty()) return std::nullopt;
  std::uint32_t bits = 0;
  for (const char c : digits) {
    const int value = HexValue(c);
    if (value < 0 || (bits >> 28) != 0) return std::nullopt;  // a ninth significant digit
    bits = (bits << 4) | static_cast<std::uint32_t>(value);
  }
  return static_cast<std::int32_t>(bits);
}

std::optional<std::int32_t> ParseNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  if (text.front() == '$' || text.front() == 'x' || text.front() == 'X') {
    return ParseHexDigits(text.substr(1));
  }
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    return ParseHexDigits(text.substr(2));
  }
  return ParseDecimal(text);
}

std::string Quoted(std::string_view text) {
  std::string quoted = "'";
  quoted += text;
  quoted += '\'';
  return quoted;
}

}  // namespace

std::optional<std::string> IntervalArgument(int argc, const char* const argv[]) {
  for (int i = 1; i < argc; ++i) {
    if (argv[i] != nullptr && argv[i][0] != '\0') return std::string(argv[i]);
  }
  return std::nullopt;
}

std::int32_t ParseInteger(std::string_view text) {
  std::string_view rest = text;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  const std::optional<std::int32_t> value = ParseNumber(rest);
  if (!value) throw EConvertError(Quoted(text) + " is not a valid integer value");
  return *value;
}

std::int32_t ParseInterval(const std::optional<std::string>& argument) {
  if (!argument) return kDefaultIntervalMs;
  const std::int32_t seconds = ParseInteger(*argument);
  if (seconds < 0 || seconds > kMaxIntervalSeconds) {
    throw EConvertError(Quoted(*argument) + " is not a valid interval (0 to " +
                        std::to_string(kMaxIntervalSeconds) + " seconds)");
  }
  return seconds * 1000;
}
