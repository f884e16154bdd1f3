#include <errno.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>

#include "errors.h"
#include "platform.h"
#include "script_writer.h"
#include "temp_dir.h"

namespace {

TEST(ErrorMessages, FollowTheMeaningOfErrno) {
  const std::pair<int, const char*> cases[] = {
      {ENOENT, "File not found"},
      {ENOTDIR, "Invalid filename"},
      {ENAMETOOLONG, "Invalid filename"},
      {EMFILE, "Too many open files"},
      {ENFILE, "Too many open files"},
      {EACCES, "File access denied"},
      {EPERM, "File access denied"},
      {EISDIR, "File access denied"},
      {EROFS, "File access denied"},
      {ENOSPC, "I/O error 28"},
      {EPIPE, "I/O error 32"},
      {EFBIG, "I/O error 27"},
      {kStdoutNotOpen, "I/O error 105"},
      {-3, "I/O error -3"},
  };
  for (const auto& [code, message] : cases) {
    const EInOutError error(code);
    EXPECT_STREQ(error.what(), message) << code;
    EXPECT_EQ(error.Code(), code);
  }
}

using PosixFiles = TempDirTest;

TEST_F(PosixFiles, AFailedWriteIsReportedWithItsCode) {
  std::filesystem::create_symlink("/dev/full", "demo_sco.cfg");
  try {
    WriteScript("sco", "26_12_11__06_30");
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_EQ(error.Code(), ENOSPC);
  }
}

TEST_F(PosixFiles, ARewriteKeepsTheSameFile) {
  Put("target", "a much longer old content than the new script will have, by far............");
  chmod("target", 0640);
  std::filesystem::create_symlink("target", "demo_sol.cfg");
  std::filesystem::create_hard_link("target", "hard_link");
  struct stat before {};
  stat("target", &before);

  WriteScript("sol", "26_12_11__06_30");

  const std::string expected = "alias autorec \"stop; record 26_12_11__06_30_sol\"\r\ntry_rec\r\n";
  EXPECT_TRUE(std::filesystem::is_symlink("demo_sol.cfg"));
  EXPECT_EQ(Read("target"), expected);
  EXPECT_EQ(Read("hard_link"), expected);
  struct stat after {};
  stat("target", &after);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode & 07777, 0640u);
}

TEST_F(PosixFiles, ADeviceNeedsNoCut) {
  std::filesystem::create_symlink("/dev/null", "demo_dem.cfg");
  EXPECT_NO_THROW(WriteScript("dem", "26_12_11__06_30"));
}

TEST(LocalClock, FollowsAChangeOfZone) {
  const char* old = getenv("TZ");
  const std::string saved = old ? old : "";
  setenv("TZ", "UTC0", 1);
  const platform::ClockReading utc = platform::ReadLocalClock();
  setenv("TZ", "XYZ-5", 1);  // five hours east of UTC
  const platform::ClockReading east = platform::ReadLocalClock();
  if (old)
    setenv("TZ", saved.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
  const int utc_minutes = utc.hour * 60 + utc.minute;
  const int east_minutes = east.hour * 60 + east.minute;
  const int difference = ((east_minutes - utc_minutes) % 1440 + 1440) % 1440;
  EXPECT_TRUE(difference == 300 || difference == 301) << difference;  // a minute may turn
}

TEST(LocalClock, ReadsTheCurrentTime) {
  const time_t now = time(nullptr);
  struct tm local {};
  localtime_r(&now, &local);
  const platform::ClockReading clock = platform::ReadLocalClock();
  EXPECT_EQ(clock.year, local.tm_year + 1900);
  EXPECT_LT(clock.millisecond, 1000);
}

TEST(Executable, NameAndOffsetDescribeThisProgram) {
  EXPECT_EQ(platform::ExecutableName(), "demostamp_tests");
  try {
    throw EInOutError(ENOENT);
  } catch (const Exception& error) {
    const std::uint32_t offset = platform::OffsetInExecutable(error.Place());
    EXPECT_GT(offset, 0u);
    EXPECT_LT(offset, std::filesystem::file_size("/proc/self/exe"));
  }
}

}  // namespace
