// The command line: the optional interval argument and its conversion.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

inline constexpr std::int32_t kDefaultIntervalMs = 60000;
inline constexpr std::int32_t kMaxIntervalSeconds = 2147483;  // the most whose ms fit 32 bits

// The first non-empty argument after the program name; later ones are ignored.
std::optional<std::string> IntervalArgument(int argc, const char* const argv[]);

// Converts the whole of `text` to a 32-bit integer: leading blanks, then a signed decimal or a
// hexadecimal number ("$", "x", "X", "0x" or "0X" and up to eight significant digits, read as
// two's complement). Raises EConvertError for anything else.
std::int32_t ParseInteger(std::string_view text);

// The pause in milliseconds for an interval argument in seconds; 60000 without argument.
// Raises EConvertError for a text that is no integer or lies outside 0 to 2147483.
std::int32_t ParseInterval(const std::optional<std::string>& argument);
