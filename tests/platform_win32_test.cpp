#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "errors.h"
#include "platform.h"
#include "script_writer.h"
#include "temp_dir.h"

namespace {

TEST(ErrorMessages, UseWindowsCodesAsTheyAre) {
  const std::pair<int, const char*> cases[] = {
      {ERROR_FILE_NOT_FOUND, "File not found"},
      {ERROR_PATH_NOT_FOUND, "Invalid filename"},
      {ERROR_TOO_MANY_OPEN_FILES, "Too many open files"},
      {ERROR_ACCESS_DENIED, "File access denied"},
      {ERROR_SHARING_VIOLATION, "I/O error 32"},
      {ERROR_DISK_FULL, "I/O error 112"},
      {kStdoutNotOpen, "I/O error 105"},
  };
  for (const auto& [code, message] : cases) {
    const EInOutError error(code);
    EXPECT_STREQ(error.what(), message) << code;
    EXPECT_EQ(error.Code(), code);
  }
}

using Win32Files = TempDirTest;

TEST_F(Win32Files, AFileHeldWithoutWriteSharingIsASharingViolation) {
  const HANDLE held = CreateFileA("demo_pyr.cfg", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  try {
    WriteScript("pyr", "26_12_11__06_30");
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Code(), ERROR_SHARING_VIOLATION);
  }
  CloseHandle(held);
}

TEST_F(Win32Files, AMissingDirectoryIsAnInvalidFilename) {
  try {
    platform::File::OpenForRewrite("no_such_dir\\demo_sco.cfg");
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "Invalid filename");
  }
}

TEST(LocalClock, IsTheSystemsLocalTime) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  const platform::ClockReading clock = platform::ReadLocalClock();
  EXPECT_EQ(clock.year, now.wYear);
  EXPECT_LT(clock.millisecond, 1000);
}

TEST(Executable, NameAndOffsetDescribeThisProgram) {
  EXPECT_EQ(platform::ExecutableName(), "demostamp_tests.exe");
  try {
    throw EInOutError(ERROR_FILE_NOT_FOUND);
  } catch (const Exception& error) {
    EXPECT_GT(platform::OffsetInExecutable(error.Place()), 0u);
    EXPECT_LT(platform::OffsetInExecutable(error.Place()), 0x10000000u);
  }
}

}  // namespace
