#include "command_line.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "errors.h"

namespace {

struct Accepted {
  const char* text;
  std::int32_t value;
};

TEST(ParseInteger, AcceptsEveryValidForm) {
  const Accepted cases[] = {
      {"60", 60},
      {"90", 90},
      {"0", 0},
      {"+45", 45},
      {"-7", -7},
      {"000120", 120},
      {"  30", 30},
      {"$3C", 60},
      {"$3c", 60},
      {"x3C", 60},
      {"X3c", 60},
      {"0x3C", 60},
      {"0X3c", 60},
      {"$FFFFFFFF", -1},
      {"$80000000", INT32_MIN},
      {"$7FFFFFFF", INT32_MAX},
      {"$000000000001", 1},  // leading zeros do not count as significant digits
      {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-0", 0},
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseInteger(c.text), c.value);
  }
}

TEST(ParseInteger, RefusesEverythingElseWithTheArgumentQuoted) {
  const char* const cases[] = {
      "",      "   ",  "abc",  "1.5",        "5s",          "2147483648", "-2147483649",
      "30 ",   "\t30", "+",    "-",          "-$10",        "+0x10",      "-x1",
      "$",     "0x",   "x",    "$123456789", "0x1FFFFFFFF", "1e3",        "1_000",
      "1,000", "$G",   "0x-1", "3 0",
  };
  for (const char* text : cases) {
    SCOPED_TRACE(text);
    try {
      ParseInteger(text);
      ADD_FAILURE() << "accepted";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.what(), "'" + std::string(text) + "' is not a valid integer value");
    }
  }
}

TEST(ParseInterval, DefaultsToAMinuteAndScalesSeconds) {
  EXPECT_EQ(ParseInterval(std::nullopt), 60000);
  EXPECT_EQ(ParseInterval(std::string("0")), 0);
  EXPECT_EQ(ParseInterval(std::string("$3C")), 60000);
  EXPECT_EQ(ParseInterval(std::string("2147483")), 2147483000);
}

TEST(ParseInterval, RefusesIntervalsThatCannotWork) {
  for (const char* text : {"-1", "2147484", "$FFFFFFFF", "2147483647", "-2147483648"}) {
    SCOPED_TRACE(text);
    try {
      ParseInterval(std::string(text));
      ADD_FAILURE() << "accepted";
    } catch (const EConvertError& error) {
      EXPECT_EQ(error.what(),
                "'" + std::string(text) + "' is not a valid interval (0 to 2147483 seconds)");
    }
  }
}

TEST(ParseInterval, ABadTextIsAConversionErrorFirst) {
  EXPECT_THROW(ParseInterval(std::string("abc")), EConvertError);
}

TEST(IntervalArgument, TakesTheFirstNonEmptyArgument) {
  struct Case {
    std::vector<const char*> argv;
    std::optional<std::string> expected;
  };
  const Case cases[] = {
      {{"demostamp"}, std::nullopt},
      {{"demostamp", ""}, std::nullopt},
      {{"demostamp", "30", "7"}, "30"},
      {{"demostamp", "", "45"}, "45"},
      {{"demostamp", "", "", " 5", "6"}, " 5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IntervalArgument(static_cast<int>(c.argv.size()), c.argv.data()), c.expected);
  }
}

}  // namespace
