#include "platform/console.h"

#include <algorithm>
#include <utility>

namespace velmaron {

BufferedOutput::BufferedOutput(Sink sink, bool flushAtLineEnd)
    : sink_(std::move(sink)), flushAtLineEnd_(flushAtLineEnd) {}

void BufferedOutput::Write(std::string_view text) {
  while (!text.empty()) {
    if (used_ == buffer_.size()) Flush();
    const std::size_t n = std::min(text.size(), buffer_.size() - used_);
    std::copy_n(text.data(), n, buffer_.data() + used_);
    used_ += n;
    text.remove_prefix(n);
  }
}

void BufferedOutput::EndLine() {
  Write("\r\n");
  if (flushAtLineEnd_) Flush();
}

void BufferedOutput::Flush() {
  if (used_ == 0) return;
  // Output errors are not reported: the bytes are given up either way.
  sink_(buffer_.data(), used_);
  used_ = 0;
}

LineReader::LineReader(Source source) : source_(std::move(source)) {}

bool LineReader::Fill() {
  if (finished_) return false;
  pos_ = 0;
  end_ = source_(buffer_.data(), buffer_.size());
  if (end_ == 0) finished_ = true;
  return end_ != 0;
}

std::string LineReader::ReadLine() {
  std::string line;
  for (;;) {
    if (pos_ == end_ && !Fill()) return line;
    const char c = buffer_[pos_++];
    if (c == '\x1a') {
      // The end-of-file byte: nothing after it is input.
      finished_ = true;
      pos_ = end_;
      return line;
    }
    if (c == '\n') return line;
    // A CR before LF ends the line with it; a lone CR is dropped, so either
    // way it never becomes part of the text.
    if (c != '\r') line.push_back(c);
  }
}

}  // namespace velmaron
