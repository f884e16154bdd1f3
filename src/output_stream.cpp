#include "output_stream.h"

#include <algorithm>
#include <cstring>

void OutputStream::WriteLine(std::string_view text) {
  Append(text);
  Append("\r\n");
  if (flushing_ == Flushing::kAtLineEnd) Flush();
}

void OutputStream::Flush() {
  if (used_ == 0) return;
  const std::size_t size = used_;
  // Emptied first: after a failed write the bytes are dropped, never written twice.
  used_ = 0;
  sink_(buffer_, size);
  written_ += size;
}

void OutputStream::Append(std::string_view bytes) {
  while (!bytes.empty()) {
    if (used_ == kBufferSize) Flush();
    const std::size_t chunk = std::min(bytes.size(), kBufferSize - used_);
    std::memcpy(buffer_ + used_, bytes.data(), chunk);
    used_ += chunk;
    bytes.remove_prefix(chunk);
  }
}
