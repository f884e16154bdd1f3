#include "errors.h"

#include <gtest/gtest.h>

namespace {

TEST(FailureReport, HasTheFixedShape) {
  EXPECT_EQ(
      FailureReport("EConvertError", "demostamp", 0x1A2B, "'abc' is not a valid integer value"),
      "Exception EConvertError in module demostamp at 00001A2B.\n"
      "'abc' is not a valid integer value.");
}

TEST(FailureReport, AddsAPeriodOnlyWhereOneIsMissing) {
  const std::pair<const char*, const char*> cases[] = {
      {"File access denied", "File access denied."},
      {"Ends with a period.", "Ends with a period."},
      {"", ""},
  };
  for (const auto& [message, shown] : cases) {
    EXPECT_EQ(FailureReport("EInOutError", "x", 0xFFFFFFFF, message),
              std::string("Exception EInOutError in module x at FFFFFFFF.\n") + shown);
  }
}

TEST(FailureReport, IsCutToTheBufferLessItsClosingZero) {
  const std::string argument(2000, '7');
  const std::string report = FailureReport("EConvertError", "demostamp", 0,
                                           "'" + argument + "' is not a valid integer value");
  ASSERT_EQ(report.size(), 1023u);
  EXPECT_EQ(report.substr(0, 48), "Exception EConvertError in module demostamp at 0");
  EXPECT_EQ(report.back(), '7');
}

TEST(FailureReport, KeepsAReportOfExactlyTheLimit) {
  const std::string head = "Exception EInOutError in module m at 00000000.\n";
  const std::string message(1023 - head.size() - 1, 'a');  // plus the added period
  EXPECT_EQ(FailureReport("EInOutError", "m", 0, message), head + message + ".");
}

TEST(EConvertError, RemembersWhereItWasRaised) {
  try {
    throw EConvertError("x");
  } catch (const Exception& error) {
    EXPECT_STREQ(error.ClassName(), "EConvertError");
    EXPECT_NE(error.Place(), nullptr);
  }
}

}  // namespace
