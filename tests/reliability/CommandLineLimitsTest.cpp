// The command-line record with more than a program can be given: 10,000 tokens and 100,000
// characters. CreateProcessW hands a program at most 32,766 characters (Windows refuses a longer
// line, Wine cuts it there), so these sizes are tested on the record itself; HostileInputTest
// starts ferrix.exe with what the platform lets through.
#include "app/CommandLine.h"
#include "engine/CopySettings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CommandLineLimitsTest, TenThousandTokensKeepTheFirst128)
{
    std::wstring text = L"ferrix.exe";
    for (int index = 1; index < 10000; ++index)
        text += L" t" + std::to_wstring(index);
    const CommandLine line(text.c_str());
    ASSERT_EQ(line.argc, CommandLine::MAX_ARGS);
    EXPECT_EQ(line.argv[CommandLine::MAX_ARGS], nullptr);
    EXPECT_EQ(std::wstring(line.argv[0]), L"ferrix.exe");
    for (int index = 1; index < CommandLine::MAX_ARGS; ++index)
        EXPECT_EQ(std::wstring(line.argv[index]), L"t" + std::to_wstring(index));

    CopySettings settings;
    FillCopySettings(line, settings);
    EXPECT_EQ(settings.source, L"t1");
    EXPECT_EQ(settings.destination, L"t2");
}

// 100,000 characters as 200 quoted folders of 500 characters with blanks in them, and as a single
// quoted folder.
TEST(CommandLineLimitsTest, AHundredThousandCharactersSplitAsShort)
{
    auto folder = [](int number) {
        std::wstring text = L"C:\\folder " + std::to_wstring(number) + L" ";
        return text + std::wstring(500 - text.size() - 2, L'x');
    };
    std::wstring text;
    for (int number = 0; number < 200; ++number)
        text += L"\"" + folder(number) + L"\"";
    ASSERT_EQ(text.size(), 100000u);
    const CommandLine many(text.c_str());
    ASSERT_EQ(many.argc, CommandLine::MAX_ARGS);
    EXPECT_EQ(many.argv[CommandLine::MAX_ARGS], nullptr);
    for (int index = 0; index < CommandLine::MAX_ARGS; ++index)
        EXPECT_EQ(std::wstring(many.argv[index]), folder(index));
    CopySettings settings;
    FillCopySettings(many, settings);
    EXPECT_EQ(settings.source, folder(1));
    EXPECT_EQ(settings.destination, folder(2));

    const std::wstring one = L"C:\\" + std::wstring(100000 - 3 - 13, L'y');
    const std::wstring oneText = L"ferrix.exe \"" + one + L"\"";
    ASSERT_EQ(oneText.size(), 100000u);
    const CommandLine single(oneText.c_str());
    ASSERT_EQ(single.argc, 2);
    EXPECT_EQ(std::wstring(single.argv[1]), one);
    FillCopySettings(single, settings);
    EXPECT_EQ(settings.source, one);
    EXPECT_EQ(settings.destination, L"");
}

} // namespace
