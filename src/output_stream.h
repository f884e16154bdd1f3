// The buffered text stream through which all output goes: standard output and script files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>

class OutputStream {
 public:
  // Receives each block the stream writes out; raises on failure.
  using Sink = std::function<void(const char* data, std::size_t size)>;
  enum class Flushing { kAtLineEnd, kWhenFull };

  static constexpr std::size_t kBufferSize = 128;

  OutputStream(Sink sink, Flushing flushing) : sink_(std::move(sink)), flushing_(flushing) {}

  // Appends `text` and CR LF.
  void WriteLine(std::string_view text);
  void Flush();
  // Every byte handed to the sink so far.
  std::uint64_t BytesWritten() const { return written_; }

 private:
  void Append(std::string_view bytes);

  Sink sink_;
  Flushing flushing_;
  char buffer_[kBufferSize]{};
  std::size_t used_ = 0;
  std::uint64_t written_ = 0;
};
