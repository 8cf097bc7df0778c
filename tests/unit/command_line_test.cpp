#include "platform/command_line.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace velmaron {
namespace {

struct SplitCase {
  const char* name;
  std::string line;
  std::vector<std::string> expected;
};

// Each case names the rule it pins down; the first word is always the
// program's own name and must never come back.
const SplitCase kSplitCases[] = {
    {"NameOnly", "prog", {}},
    {"EmptyLine", "", {}},
    {"PlainWords", "prog a bb ccc", {"a", "bb", "ccc"}},
    {"RunsOfBlanksAndTabs", "prog \t a  \t b\t", {"a", "b"}},
    {"ControlBytesSeparate", std::string("prog a\x01" "b\x1f" "c\rd\ne"),
     {"a", "b", "c", "d", "e"}},
    {"Byte33IsOrdinary", "prog a!b", {"a!b"}},
    {"HighBytesAreOrdinary", "prog \xe4\xf6\xfc \x80\xff", {"\xe4\xf6\xfc", "\x80\xff"}},
    {"QuotedNameWithBlank", "\"C:\\Program Files\\prog.exe\" x", {"x"}},
    {"QuotedPathKeepsTrailingBackslash", "prog \"C:\\My Dir\\\" /s", {"C:\\My Dir\\", "/s"}},
    {"BackslashBeforeQuoteIsNoEscape", "prog a\\\"b c\" d", {"a\\b c", "d"}},
    {"ArgumentGoesOnAfterClosingQuote", "prog a\"b c\"d", {"ab cd"}},
    {"QuotesInsideAWord", "prog ab\"\"cd", {"abcd"}},
    {"UnclosedQuoteRunsToEnd", "prog \"a b  ", {"a b  "}},
    {"TabsAndControlsInsideQuotes", "prog \"a\tb\x01" "c\"", {"a\tb\x01" "c"}},
    {"EmptyPairSkippedBeforeWord", "prog \"\" x", {"x"}},
    {"EmptyPairGluedToWordSkipped", "prog \"\"x", {"x"}},
    {"RepeatedEmptyPairsAndBlanks", "prog \"\" \"\"\"\"  \"\" x \"\"", {"x"}},
    {"EmptyPairOnlyLine", "prog \"\"", {}},
    {"LoneQuoteAtEndGivesNothing", "prog a \"", {"a"}},
    {"ThreeQuotesOpenAStretch", "prog \"\"\"a b", {"a b"}},
    {"QuotedBlankIsAnArgument", "prog \" \" x", {" ", "x"}},
    {"QuotesNeverKept", "prog \"a\"\"b\"", {"ab"}},
    {"EmptyPairBeforeNameSkipped", "\"\" prog x", {"x"}},
    {"ByteZeroEndsTheLine", std::string("prog a\0b c", 10), {"a"}},
    {"ByteZeroInsideQuotes", std::string("prog \"a\0b\" c", 12), {"a"}},
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.name; }

class SplitCommandLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitCommandLineTest, Splits) {
  EXPECT_EQ(SplitCommandLine(GetParam().line), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SplitCommandLineTest, testing::ValuesIn(kSplitCases),
                         [](const testing::TestParamInfo<SplitCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace velmaron
