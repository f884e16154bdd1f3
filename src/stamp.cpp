#include "stamp.h"

std::string TwoDigits(std::uint16_t n) {
  if (n < 10) return std::string{'0', static_cast<char>('0' + n)};
  return std::to_string(n);
}

std::string MakeStamp(const platform::ClockReading& clock, bool with_seconds) {
  const auto year = static_cast<std::uint16_t>(clock.year - 2000);
  std::string stamp;
  stamp.reserve(24);
  stamp += TwoDigits(year);
  stamp += '_';
  stamp += TwoDigits(clock.month);
  stamp += '_';
  stamp += TwoDigits(clock.day);
  stamp += "__";
  stamp += TwoDigits(clock.hour);
  stamp += '_';
  stamp += TwoDigits(clock.minute);
  if (with_seconds) {
    stamp += '_';
    stamp += TwoDigits(clock.second);
  }
  return stamp;
}
