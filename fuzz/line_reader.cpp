// LineReader on input served in fuzzed pieces: each line must be what a plain
// reading gives (the bytes up to LF, every CR dropped, nothing from byte 26
// on), however the source splits the bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "platform/console.h"

using namespace velmaron;

namespace {

std::vector<std::string> ReferenceLines(const std::string& input, std::size_t count) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t pos = 0;
  bool ended = false;
  while (lines.size() < count) {
    if (ended || pos == input.size()) {
      lines.push_back(line);
      line.clear();
      ended = true;
      continue;
    }
    const char c = input[pos++];
    if (c == '\x1a') {
      ended = true;
    } else if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (c != '\r') {
      line.push_back(c);
    }
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::ByteReader in(data, size);
  // Piece sizes 1..256, used in turn; a source never returns 0 before its end.
  std::vector<std::size_t> pieces;
  for (int n = 1 + in.Byte() % 8; n > 0; --n) pieces.push_back(1 + in.Byte());
  const std::string input = in.Rest();

  std::size_t served = 0, turn = 0, callsAfterEnd = 0;
  LineReader reader([&](char* buffer, std::size_t capacity) -> std::size_t {
    if (capacity == 0) fuzz::Fail("a source asked for nothing");
    if (served == input.size()) {
      ++callsAfterEnd;
      return 0;
    }
    const std::size_t n = std::min({capacity, pieces[turn++ % pieces.size()], input.size() - served});
    std::copy_n(input.data() + served, n, buffer);
    served += n;
    return n;
  });

  const std::size_t lineCount = 1 + std::count(input.begin(), input.end(), '\n') + 2;
  const std::vector<std::string> expected = ReferenceLines(input, lineCount);
  for (const std::string& want : expected) {
    const std::string got = reader.ReadLine();
    if (got != want) fuzz::Fail("line differs; expected", want);
  }
  // Once the input has ended the source is not asked again and again.
  if (callsAfterEnd > 1) fuzz::Fail("source read again after its end");
  return 0;
}
