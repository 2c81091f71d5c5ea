#include <gtest/gtest.h>

#include "platform/launch/ExecLine.h"

namespace {

using Args = std::vector<std::string>;

struct SplitCase {
    const char* name;
    const char* value;   // as written in the desktop file
    bool valid;
    Args arguments;
};

class SplitExecLineTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitExecLineTest, SplitsAtBlanksOutsideQuotes) {
    const SplitCase& c = GetParam();
    const auto arguments = SplitExecLine(UnescapeDesktopValue(c.value));
    ASSERT_EQ(arguments.has_value(), c.valid);
    if (c.valid) {
        EXPECT_EQ(*arguments, c.arguments);
    }
}

INSTANTIATE_TEST_SUITE_P(ExecValues, SplitExecLineTest, testing::Values(
    SplitCase{"plain", "writer --view %f", true, {"writer", "--view", "%f"}},
    SplitCase{"runsOfBlanksAndTabs", "  a \t b  ", true, {"a", "b"}},
    SplitCase{"quotedProgramPath", R"("/opt/My Editor/edit" %U)", true,
              {"/opt/My Editor/edit", "%U"}},
    SplitCase{"escapesInsideQuotes", R"(sh "a \\"b\\" \\$HOME \\`x\\` \\\\")", true,
              {"sh", R"(a "b" $HOME `x` \)"}},
    SplitCase{"quotesJoinToOneArgument", R"(--name="x y"z)", true, {"--name=x yz"}},
    SplitCase{"emptyQuotedArgument", R"(prog "" %f)", true, {"prog", "", "%f"}},
    SplitCase{"valueEscapeIsABlank", R"(prog\sname %f)", true, {"prog", "name", "%f"}},
    SplitCase{"openQuote", R"(prog "unterminated %f)", false, {}},
    SplitCase{"empty", "", true, {}}),
    [](const testing::TestParamInfo<SplitCase>& info) { return info.param.name; });

struct ExpandCase {
    const char* name;
    Args exec;
    const char* target;
    Args argv;
};

class ExpandExecArgumentsTest : public testing::TestWithParam<ExpandCase> {};

TEST_P(ExpandExecArgumentsTest, PutsTheTargetWhereTheFieldCodesAre) {
    const ExpandCase& c = GetParam();
    EXPECT_EQ(ExpandExecArguments(c.exec, c.target), c.argv);
}

INSTANTIATE_TEST_SUITE_P(FieldCodes, ExpandExecArgumentsTest, testing::Values(
    ExpandCase{"fileCode", {"edit", "%f"}, "/tmp/a b.rtf", {"edit", "/tmp/a b.rtf"}},
    ExpandCase{"fileListCode", {"edit", "%F"}, "/tmp/a.rtf", {"edit", "/tmp/a.rtf"}},
    ExpandCase{"urlCodes", {"browse", "--new-window", "%U"}, "http://127.0.0.1/x?a=1&b=2",
               {"browse", "--new-window", "http://127.0.0.1/x?a=1&b=2"}},
    ExpandCase{"fileUrlToFileCode", {"edit", "%f"}, "file:///tmp/a.rtf",
               {"edit", "/tmp/a.rtf"}},
    ExpandCase{"fileUrlToUrlCode", {"edit", "%u"}, "file:///tmp/a.rtf",
               {"edit", "file:///tmp/a.rtf"}},
    ExpandCase{"codeInsideAnArgument", {"edit", "--file=%f"}, "/tmp/a.rtf",
               {"edit", "--file=/tmp/a.rtf"}},
    ExpandCase{"droppedCodes", {"edit", "%i", "%c", "%k", "%f"}, "/tmp/a", {"edit", "/tmp/a"}},
    ExpandCase{"deprecatedCodes", {"edit", "%d", "%m%N", "%f"}, "/tmp/a", {"edit", "/tmp/a"}},
    ExpandCase{"percentSign", {"printf", "100%%", "%f"}, "/tmp/a", {"printf", "100%", "/tmp/a"}},
    // A command without a field code still receives the file, at the end.
    ExpandCase{"noCodeAppends", {"notepad.exe"}, "/tmp/a b.txt", {"notepad.exe", "/tmp/a b.txt"}},
    ExpandCase{"onlyDroppedCodeAppends", {"edit", "%i"}, "/tmp/a", {"edit", "/tmp/a"}},
    ExpandCase{"targetIsNeverReadAsCode", {"edit", "%f"}, "/tmp/%f; rm -rf ~",
               {"edit", "/tmp/%f; rm -rf ~"}},
    ExpandCase{"emptyArgumentKept", {"edit", "", "%f"}, "/tmp/a", {"edit", "", "/tmp/a"}}),
    [](const testing::TestParamInfo<ExpandCase>& info) { return info.param.name; });

}  // namespace
