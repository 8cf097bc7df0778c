// Standard output, standard input and the beep, as the program sees them.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace velmaron {

class Console {
 public:
  virtual ~Console() = default;
  // Appends text to standard output; a failed write is ignored.
  virtual void Write(std::string_view text) = 0;
  // Ends the line with a carriage return and a line feed.
  virtual void EndLine() = 0;
  // Writes out whatever is still buffered.
  virtual void Flush() = 0;
  // One line of standard input without its end; never throws.
  virtual std::string ReadLine() = 0;
  // The audible signal of an unreadable timestamp; never on standard output.
  virtual void Beep() = 0;
};

// The 128-byte output buffer: written out when full, at each line end when the
// output is a console, and on Flush. The sink gets raw bytes and may fail.
class BufferedOutput {
 public:
  using Sink = std::function<void(const char* data, std::size_t size)>;
  BufferedOutput(Sink sink, bool flushAtLineEnd);
  void Write(std::string_view text);
  void EndLine();
  void Flush();

 private:
  Sink sink_;
  bool flushAtLineEnd_;
  std::array<char, 128> buffer_{};
  std::size_t used_ = 0;
};

// Reads a line from a byte source: the bytes up to LF or CR LF, a lone CR
// dropped, byte 26 or the end of input ending the line, no length limit. The
// source fills a buffer and returns the count, 0 at the end or on failure.
class LineReader {
 public:
  using Source = std::function<std::size_t(char* buffer, std::size_t capacity)>;
  explicit LineReader(Source source);
  std::string ReadLine();

 private:
  bool Fill();
  Source source_;
  std::array<char, 65536> buffer_{};
  std::size_t pos_ = 0, end_ = 0;
  bool finished_ = false;
};

}  // namespace velmaron
