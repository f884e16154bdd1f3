// Checks properties of the interval conversion on arbitrary bytes.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "command_line.h"
#include "errors.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

bool IsAllowedByte(char c) {
  return c == ' ' || c == '+' || c == '-' || c == '$' || c == 'x' || c == 'X' ||
         (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool HasHexPrefix(std::string_view text) {
  return !text.empty() &&
         (text[0] == '$' || text[0] == 'x' || text[0] == 'X' ||
          (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::int32_t value = 0;
  try {
    value = ParseInteger(text);
  } catch (const EConvertError& error) {
    // Compared as C strings: what() ends at the first NUL, which no real argument holds.
    const std::string expected = "'" + std::string(text) + "' is not a valid integer value";
    Require(std::string_view(error.what()) == std::string_view(expected.c_str()));
    return 0;
  }

  for (const char c : text) Require(IsAllowedByte(c));

  std::string_view number = text.substr(text.find_first_not_of(' '));
  if (!HasHexPrefix(number)) {
    // std::from_chars takes a minus sign but no plus sign.
    if (number[0] == '+') number.remove_prefix(1);
    std::int32_t expected = 0;
    const auto [end, error] =
        std::from_chars(number.data(), number.data() + number.size(), expected);
    Require(error == std::errc() && end == number.data() + number.size());
    Require(value == expected);
  }

  Require(ParseInteger(std::to_string(value)) == value);
  return 0;
}
