#include "output_stream.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records each block the stream writes out.
class StreamFixture : public ::testing::Test {
 protected:
  OutputStream Make(OutputStream::Flushing flushing) {
    return OutputStream(
        [this](const char* data, std::size_t size) {
          if (fail_next) throw std::runtime_error("write failed");
          writes.emplace_back(data, size);
        },
        flushing);
  }
  std::vector<std::string> writes;
  bool fail_next = false;
};

TEST_F(StreamFixture, AConsoleIsWrittenAtEveryLineEnd) {
  OutputStream out = Make(OutputStream::Flushing::kAtLineEnd);
  out.WriteLine("one");
  out.WriteLine("two");
  EXPECT_EQ(writes, (std::vector<std::string>{"one\r\n", "two\r\n"}));
}

TEST_F(StreamFixture, AFileWaitsForFlush) {
  OutputStream out = Make(OutputStream::Flushing::kWhenFull);
  out.WriteLine("alias autorec \"stop; record 09_03_07__05_04_sco\"");
  out.WriteLine("try_rec");
  EXPECT_TRUE(writes.empty());
  out.Flush();
  EXPECT_EQ(writes, (std::vector<std::string>{
                        "alias autorec \"stop; record 09_03_07__05_04_sco\"\r\ntry_rec\r\n"}));
  EXPECT_EQ(out.BytesWritten(), 59u);
  out.Flush();
  EXPECT_EQ(writes.size(), 1u) << "an empty buffer writes nothing";
}

TEST_F(StreamFixture, AFullBufferIsWrittenInBlocksOf128Bytes) {
  OutputStream out = Make(OutputStream::Flushing::kWhenFull);
  const std::string line(300, 'a');
  out.WriteLine(line);
  ASSERT_EQ(writes.size(), 2u);
  EXPECT_EQ(writes[0].size(), 128u);
  EXPECT_EQ(writes[1].size(), 128u);
  out.Flush();
  EXPECT_EQ(writes[0] + writes[1] + writes[2], line + "\r\n");
  EXPECT_EQ(out.BytesWritten(), 302u);
}

TEST_F(StreamFixture, AFailedWriteIsRaisedAndItsBytesAreNotWrittenAgain) {
  OutputStream out = Make(OutputStream::Flushing::kWhenFull);
  out.WriteLine("lost");
  fail_next = true;
  EXPECT_THROW(out.Flush(), std::runtime_error);
  fail_next = false;
  out.WriteLine("next");
  out.Flush();
  EXPECT_EQ(writes, (std::vector<std::string>{"next\r\n"}));
  EXPECT_EQ(out.BytesWritten(), 6u);
}

}  // namespace
