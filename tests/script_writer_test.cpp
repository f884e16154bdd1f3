#include "script_writer.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "errors.h"
#include "temp_dir.h"

namespace {

using ScriptWriter = TempDirTest;

TEST_F(ScriptWriter, WritesTheTwoLinesWithCrLf) {
  WriteScript("sco", "09_03_07__05_04");
  EXPECT_EQ(Read("demo_sco.cfg"),
            "alias autorec \"stop; record 09_03_07__05_04_sco\"\r\ntry_rec\r\n");
  EXPECT_EQ(Read("demo_sco.cfg").size(), 59u);
  WriteScript("spy", "09_03_07__05_04_09");
  EXPECT_EQ(Read("demo_spy.cfg").size(), 62u);
}

TEST_F(ScriptWriter, ReplacesALongerFileWithoutATail) {
  Put("demo_med.cfg", std::string(5000, 'x'));
  WriteScript("med", "26_12_11__06_30");
  EXPECT_EQ(Read("demo_med.cfg"),
            "alias autorec \"stop; record 26_12_11__06_30_med\"\r\ntry_rec\r\n");
}

TEST_F(ScriptWriter, ReplacesAShorterFile) {
  Put("demo_hev.cfg", "old");
  WriteScript("hev", "26_12_11__06_30_01");
  EXPECT_EQ(Read("demo_hev.cfg"),
            "alias autorec \"stop; record 26_12_11__06_30_01_hev\"\r\ntry_rec\r\n");
}

TEST_F(ScriptWriter, ADirectoryOfThatNameIsAccessDenied) {
  std::filesystem::create_directory("demo_sco.cfg");
  try {
    WriteScript("sco", "26_12_11__06_30");
    ADD_FAILURE() << "no error";
  } catch (const EInOutError& error) {
    EXPECT_STREQ(error.what(), "File access denied");
  }
}

TEST(ScriptFileName, IsDemoTagCfg) {
  EXPECT_EQ(ScriptFileName("sco"), "demo_sco.cfg");
}

TEST(Tags, AreTheNineInTheirOrder) {
  std::string joined;
  for (const std::string_view tag : Tags) joined += std::string(tag) + " ";
  EXPECT_EQ(joined, "sco sol pyr dem hev eng med sni spy ");
}

}  // namespace
