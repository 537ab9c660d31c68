#include "app/CommandLine.h"
#include "engine/CopySettings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> Tokens(const CommandLine& line)
{
    std::vector<std::wstring> tokens;
    for (int i = 0; i < line.argc; ++i)
        tokens.emplace_back(line.argv[i]);
    EXPECT_EQ(line.argv[line.argc], nullptr) << "the slot after the last token must be null";
    return tokens;
}

using Words = std::vector<std::wstring>;

TEST(CommandLineTest, NullAndBlankTextGiveNoTokens)
{
    CommandLine none(nullptr);
    EXPECT_EQ(none.argc, 0);
    EXPECT_EQ(none.argv[0], nullptr);
    EXPECT_EQ(none.buffer, nullptr);

    CommandLine blanks(L" \t  ");
    EXPECT_EQ(Tokens(blanks), Words{});
}

TEST(CommandLineTest, BlanksAndTabsSeparateTokens)
{
    CommandLine line(L"prog.exe  a\tb \t c");
    EXPECT_EQ(Tokens(line), (Words{L"prog.exe", L"a", L"b", L"c"}));
}

TEST(CommandLineTest, QuotesGroupBlanksAndStartANewTokenWhenClosed)
{
    CommandLine quoted(L"prog \"C:\\My Photos\" D:\\Flat");
    EXPECT_EQ(Tokens(quoted), (Words{L"prog", L"C:\\My Photos", L"D:\\Flat"}));

    CommandLine glued(L"prog \"a b\"cd");
    EXPECT_EQ(Tokens(glued), (Words{L"prog", L"a b", L"cd"}));

    CommandLine empty(L"prog \"\" x");
    EXPECT_EQ(Tokens(empty), (Words{L"prog", L"", L"x"}));

    // No escape character and no meaning for doubled quotes.
    CommandLine doubled(L"prog \"\"\"\" a\\\"b");
    EXPECT_EQ(Tokens(doubled), (Words{L"prog", L"", L"", L"a\\\"b"}));
}

TEST(CommandLineTest, QuoteInsideAnUnquotedTokenIsKeptAndAnUnclosedQuoteRunsToTheEnd)
{
    CommandLine inside(L"prog ab\"cd ef");
    EXPECT_EQ(Tokens(inside), (Words{L"prog", L"ab\"cd", L"ef"}));

    CommandLine unclosed(L"prog \"x y\tz");
    EXPECT_EQ(Tokens(unclosed), (Words{L"prog", L"x y\tz"}));
}

TEST(CommandLineTest, TokensLieInTheOwnedCopyOfTheText)
{
    std::wstring text = L"p \"a b\" c";
    CommandLine line(text.c_str());
    text.assign(text.size(), L'#');
    EXPECT_EQ(Tokens(line), (Words{L"p", L"a b", L"c"}));
    for (int i = 0; i < line.argc; ++i) {
        EXPECT_GE(line.argv[i], line.buffer.get());
        EXPECT_LE(line.argv[i], line.buffer.get() + 9);
    }
}

TEST(CommandLineTest, KeepsTheFirst128TokensAndIgnoresTheRest)
{
    std::wstring text;
    for (int i = 0; i < 200; ++i)
        text += L"t" + std::to_wstring(i) + L" ";
    CommandLine line(text.c_str());
    ASSERT_EQ(line.argc, CommandLine::MAX_ARGS);
    EXPECT_STREQ(line.argv[0], L"t0");
    EXPECT_STREQ(line.argv[127], L"t127");
    EXPECT_EQ(line.argv[128], nullptr);
}

CopySettings SettingsFrom(const wchar_t* text)
{
    CommandLine line(text);
    CopySettings settings;
    settings.deleteSource = true;
    settings.mask = L"old";
    FillCopySettings(line, settings);
    return settings;
}

TEST(CopySettingsTest, StartValuesWithoutArguments)
{
    const CopySettings settings = SettingsFrom(L"C:\\ferrix.exe");
    EXPECT_FALSE(settings.deleteSource);
    EXPECT_EQ(settings.source, L"");
    EXPECT_EQ(settings.destination, L"");
    EXPECT_EQ(settings.mask, L"*");
    EXPECT_EQ(settings.separator, L".");
}

TEST(CopySettingsTest, FirstTwoNonEmptyArgumentsAreSourceAndDestination)
{
    const CopySettings quoted = SettingsFrom(L"ferrix \"C:\\My Photos\" D:\\Flat E:\\Extra");
    EXPECT_EQ(quoted.source, L"C:\\My Photos");
    EXPECT_EQ(quoted.destination, L"D:\\Flat");

    const CopySettings emptyFirst = SettingsFrom(L"ferrix \"\" A B");
    EXPECT_EQ(emptyFirst.source, L"A");
    EXPECT_EQ(emptyFirst.destination, L"B");
}

TEST(CopySettingsTest, OnlyTheFirstTokenCountsAsTheProgramPath)
{
    // An unquoted program path with a blank splits, and its second half becomes an argument.
    const CopySettings settings = SettingsFrom(L"C:\\Program Files\\ferrix.exe X");
    EXPECT_EQ(settings.source, L"Files\\ferrix.exe");
    EXPECT_EQ(settings.destination, L"X");
}

} // namespace
