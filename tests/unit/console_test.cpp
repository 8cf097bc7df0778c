#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/console.h"

namespace velmaron {
namespace {

struct Sink {
  std::vector<std::string> writes;
  BufferedOutput::Sink Get() {
    return [this](const char* data, std::size_t size) { writes.emplace_back(data, size); };
  }
};

TEST(BufferedOutput, OnAConsoleEachLineGoesOutAtItsEnd) {
  Sink sink;
  BufferedOutput out(sink.Get(), true);
  out.Write("Error ");
  out.Write("5");
  EXPECT_TRUE(sink.writes.empty());
  out.EndLine();
  out.EndLine();
  EXPECT_EQ(sink.writes, (std::vector<std::string>{"Error 5\r\n", "\r\n"}));
}

TEST(BufferedOutput, OtherwiseItGoesOutIn128ByteBlocksAndOnFlush) {
  Sink sink;
  BufferedOutput out(sink.Get(), false);
  const std::string line(100, 'x');
  out.Write(line);
  out.EndLine();
  out.Write(line);
  EXPECT_EQ(sink.writes, (std::vector<std::string>{std::string(100, 'x') + "\r\n" + std::string(26, 'x')}));
  out.Flush();
  out.Flush();
  ASSERT_EQ(sink.writes.size(), 2u);
  EXPECT_EQ(sink.writes[1], std::string(74, 'x'));
}

// Serves the input in pieces of `chunk` bytes, as a pipe may.
LineReader::Source Chunks(const std::string& input, std::size_t chunk) {
  auto pos = std::make_shared<std::size_t>(0);
  return [input, chunk, pos](char* buffer, std::size_t capacity) {
    const std::size_t n = std::min({chunk, capacity, input.size() - *pos});
    input.copy(buffer, n, *pos);
    *pos += n;
    return n;
  };
}

TEST(LineReader, ReadsOneLineWhateverThePiecesTheInputComesIn) {
  struct Case {
    std::string input, first, second;
  };
  const Case cases[] = {
      {"31.12.2007 13:00\r\nnext\r\n", "31.12.2007 13:00", "next"},
      {"a\rb\r\rc\n", "abc", ""},
      {"  blanks stay  \n", "  blanks stay  ", ""},
      {"before\x1a" "after\n", "before", ""},
      {"no line end", "no line end", ""},
      {"\r\n\n", "", ""},
      {"", "", ""},
      {std::string("nul\0byte\n", 9), std::string("nul\0byte", 8), ""},
  };
  for (const Case& c : cases) {
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{4096}}) {
      LineReader reader(Chunks(c.input, chunk));
      EXPECT_EQ(reader.ReadLine(), c.first) << c.input << " chunk " << chunk;
      EXPECT_EQ(reader.ReadLine(), c.second) << c.input << " chunk " << chunk;
    }
  }
}

TEST(LineReader, HasNoLengthLimit) {
  const std::string big(8 << 20, 'q');
  LineReader reader(Chunks(big, 65536));
  EXPECT_EQ(reader.ReadLine(), big);
}

TEST(LineReader, AFailedReadKeepsWhatWasReadAndRaisesNothing) {
  int calls = 0;
  LineReader reader([&calls](char* buffer, std::size_t) -> std::size_t {
    if (calls++ > 0) return 0;  // the failure after the first piece
    buffer[0] = 'x';
    return 1;
  });
  EXPECT_EQ(reader.ReadLine(), "x");
  EXPECT_EQ(reader.ReadLine(), "");
  EXPECT_EQ(calls, 2);
}

}  // namespace
}  // namespace velmaron
