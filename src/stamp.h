// The demo stamp: the date-and-time text that names the recordings of one tick.
#pragma once

#include <cstdint>
#include <string>

#include "platform.h"

// `n` as decimal text, with a leading zero below 10 and never truncated.
std::string TwoDigits(std::uint16_t n);

// year-2000_month_day__hour_minute, and _second when `with_seconds` is set. The year field is
// unsigned 16-bit arithmetic, so a clock before 2000 gives 65535 and down.
std::string MakeStamp(const platform::ClockReading& clock, bool with_seconds);
