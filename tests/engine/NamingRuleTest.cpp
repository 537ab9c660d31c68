#include "engine/NameFold.h"
#include "engine/NameMatch.h"
#include "engine/NamingRule.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

TEST(NamingRuleTest, EnsureTrailingDelimiterAddsOnlyAMissingBackslash)
{
    EXPECT_EQ(EnsureTrailingDelimiter(L""), L"");
    EXPECT_EQ(EnsureTrailingDelimiter(L"D:\\Flat"), L"D:\\Flat\\");
    EXPECT_EQ(EnsureTrailingDelimiter(L"D:\\Flat\\"), L"D:\\Flat\\");
    EXPECT_EQ(EnsureTrailingDelimiter(L"D:/Flat/"), L"D:/Flat/\\");
}

TEST(NamingRuleTest, WorkedExample)
{
    const NamingRule rule = MakeNamingRule(L"C:\\Photos", L"D:\\Flat", L"_");
    EXPECT_EQ(rule.sourcePrefix, L"C:\\Photos\\");
    EXPECT_EQ(rule.destinationPrefix, L"D:\\Flat\\");
    EXPECT_EQ(rule.normalizedSeparator, L"_");
    EXPECT_FALSE(rule.subfolderMode);
    EXPECT_EQ(MakeTargetPath(rule, L"2019\\trip\\c.jpg"), L"D:\\Flat\\2019_trip_c.jpg");
    EXPECT_EQ(MakeSourceDisplayPath(rule, L"2019\\trip\\c.jpg"), L"C:\\Photos\\2019\\trip\\c.jpg");
}

struct SeparatorRow {
    const char* name;
    const wchar_t* separator;
    const wchar_t* normalized;
    bool subfolderMode;
    const wchar_t* targetA;
    const wchar_t* targetB;
    const wchar_t* targetC;
};

void PrintTo(const SeparatorRow& row, std::ostream* out)
{
    *out << row.name;
}

class SeparatorTableTest : public testing::TestWithParam<SeparatorRow> {};

TEST_P(SeparatorTableTest, FoldsEveryEntryOfTheTree)
{
    const SeparatorRow& row = GetParam();
    const NamingRule rule = MakeNamingRule(L"C:\\Photos", L"D:\\Flat", row.separator);
    EXPECT_EQ(rule.normalizedSeparator, row.normalized);
    EXPECT_EQ(rule.subfolderMode, row.subfolderMode);
    EXPECT_EQ(MakeTargetPath(rule, L"a.jpg"), row.targetA);
    EXPECT_EQ(MakeTargetPath(rule, L"2019\\b.jpg"), row.targetB);
    EXPECT_EQ(MakeTargetPath(rule, L"2019\\trip\\c.jpg"), row.targetC);
}

INSTANTIATE_TEST_SUITE_P(
    NamingRuleTest, SeparatorTableTest,
    testing::Values(
        SeparatorRow{"Underscore", L"_", L"_", false, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019_b.jpg", L"D:\\Flat\\2019_trip_c.jpg"},
        SeparatorRow{"BlankHyphenBlank", L" - ", L" - ", false, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019 - b.jpg",
                     L"D:\\Flat\\2019 - trip - c.jpg"},
        SeparatorRow{"Empty", L"", L"", false, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019b.jpg", L"D:\\Flat\\2019tripc.jpg"},
        SeparatorRow{"Backslash", L"\\", L"\\", true, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019\\b.jpg",
                     L"D:\\Flat\\2019\\trip\\c.jpg"},
        SeparatorRow{"Slash", L"/", L"\\", true, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019\\b.jpg",
                     L"D:\\Flat\\2019\\trip\\c.jpg"},
        SeparatorRow{"UnderscoreSlash", L"_/", L"_\\", true, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019_\\b.jpg",
                     L"D:\\Flat\\2019_\\trip_\\c.jpg"},
        SeparatorRow{"TwoSlashes", L"//", L"\\\\", true, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019\\\\b.jpg",
                     L"D:\\Flat\\2019\\\\trip\\\\c.jpg"},
        // A slash-free separator keeps its text exactly, blanks and dots included.
        SeparatorRow{"DotsAndBlanks", L" .x. ", L" .x. ", false, L"D:\\Flat\\a.jpg", L"D:\\Flat\\2019 .x. b.jpg",
                     L"D:\\Flat\\2019 .x. trip .x. c.jpg"}),
    [](const testing::TestParamInfo<SeparatorRow>& info) { return std::string(info.param.name); });

TEST(NamingRuleTest, InsertedBackslashesAreNotScannedAgain)
{
    EXPECT_EQ(FoldPath(L"a\\b", L"\\\\"), L"a\\\\b");
    EXPECT_EQ(FoldPath(L"a\\b\\c", L"\\"), L"a\\b\\c");
    const NamingRule rule = MakeNamingRule(L"S", L"D", L"\\\\");
    EXPECT_TRUE(rule.subfolderMode);
    EXPECT_EQ(MakeTargetPath(rule, L"a\\b"), L"D\\a\\\\b");
}

TEST(NamingRuleTest, DestinationTexts)
{
    EXPECT_EQ(MakeTargetPath(MakeNamingRule(L"S", L"D:\\Flat\\", L"_"), L"2019\\b.jpg"), L"D:\\Flat\\2019_b.jpg");
    EXPECT_EQ(MakeTargetPath(MakeNamingRule(L"S", L"D:\\", L"_"), L"2019\\b.jpg"), L"D:\\2019_b.jpg");
    EXPECT_EQ(MakeTargetPath(MakeNamingRule(L"S", L"D:/Flat/", L"_"), L"2019\\b.jpg"), L"D:/Flat/\\2019_b.jpg");
    EXPECT_EQ(MakeTargetPath(MakeNamingRule(L"S", L"", L"_"), L"2019\\b.jpg"), L"2019_b.jpg");
}

TEST(NamingRuleTest, OnlyBackslashesOfTheEntryAreReplaced)
{
    const NamingRule rule = MakeNamingRule(L"S", L"D", L".");
    EXPECT_EQ(MakeTargetPath(rule, L"my docs/x\\v1.2 final.tar.gz"), L"D\\my docs/x.v1.2 final.tar.gz");
    // Entries that fold to the same name are not made distinct here.
    EXPECT_EQ(MakeTargetPath(MakeNamingRule(L"S", L"D", L"_"), L"a_b.txt"),
              MakeTargetPath(MakeNamingRule(L"S", L"D", L"_"), L"a\\b.txt"));
}

// Where copies go: folders as the platform makes them, and no name that it would rewrite or reserves.
TEST(NamingRuleTest, CopyPathsDropWhatFolderCreationDropsAndRefuseRewrittenOrReservedNames)
{
    const NamingRule tree = MakeNamingRule(L"S", L"D", L" / ");
    EXPECT_EQ(MakeCopyPath(tree, L"2019\\trip\\c.jpg"), L"D\\2019\\ trip\\ c.jpg");
    EXPECT_EQ(MakeCopyPath(MakeNamingRule(L"S", L"D", L"\\"), L"d.\\x"), L"D\\d\\x");
    EXPECT_EQ(MakeCopyPath(MakeNamingRule(L"S", L"D", L"\\..\\"), L"a\\b"), L"D\\a\\..\\b");
    EXPECT_EQ(MakeCopyPath(MakeNamingRule(L"S", L"\\\\?\\C:\\D", L"\\\\"), L".\\a\\b"), L"\\\\?\\C:\\D\\a\\b");
    const NamingRule flat = MakeNamingRule(L"S", L"D", L".");
    EXPECT_EQ(MakeCopyPath(flat, L"sub\\aux.c"), L"D\\sub.aux.c");
    EXPECT_EQ(MakeCopyPath(flat, L"sub\\COM1"), L"D\\sub.COM1");
    for (const wchar_t* refused : {L"e\\y.", L"f\\z ", L"nul.txt", L"con\\x.txt", L"Lpt1", L"C:\\x\\a.txt", L"com\u00b9.log"})
        EXPECT_EQ(MakeCopyPath(flat, refused), L"") << refused;
    EXPECT_EQ(MakeCopyPath(MakeNamingRule(L"S", L"D", L"\\"), L"con\\x.txt"), L"");
    EXPECT_EQ(MakeCopyPath(MakeNamingRule(L"S", L"D", L"\\"), L"...\\x.txt"), L"");
    bool reserved = false;
    EXPECT_EQ(MakeCopyPath(flat, L"e\\y.", &reserved), L"");
    EXPECT_FALSE(reserved) << "a name that ends in a dot is not a device's";
    EXPECT_EQ(MakeCopyPath(flat, L"ConIn$.log", &reserved), L"");
    EXPECT_TRUE(reserved);
}

// The folding is the platform's for file names, code unit by code unit: what CompareStringOrdinal
// ignoring case takes for one, and nothing that it tells apart.
TEST(NameFoldTest, FoldsEveryCodeUnitAsThePlatformComparesFileNames)
{
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        const auto c = static_cast<wchar_t>(code);
        const wchar_t folded = FoldChar(c);
        ASSERT_EQ(CompareStringOrdinal(&c, 1, &folded, 1, TRUE), CSTR_EQUAL) << std::hex << code;
        ASSERT_EQ(FoldChar(folded), folded) << std::hex << code;
        // The platform's own upper case of the unit, where it has one, folds alike.
        wchar_t upper = c;
        CharUpperBuffW(&upper, 1);
        if (CompareStringOrdinal(&c, 1, &upper, 1, TRUE) == CSTR_EQUAL) {
            ASSERT_EQ(FoldChar(upper), folded) << std::hex << code;
        }
    }
    EXPECT_TRUE(SameName(L"Stra\u00dfe.TXT", L"STRA\u00dfE.txt"));
    EXPECT_FALSE(SameName(L"\u0131", L"I")) << "the dotless i is not the file system's I";
}

// The mask matcher, for the names that Windows' search gives and Wine's looser one would widen.
TEST(NameMatchTest, MatchesByTheRulesOfWindowsSearch)
{
    struct Row {
        const wchar_t* pattern;
        const wchar_t* name;
        bool matches;
    };
    const Row rows[] = {
        {L"*", L"any.thing", true},       {L"*.*", L"no dot", true},      {L"*.", L"README", true},
        {L"*.", L"a.b", false},           {L"*.", L"x.htm", false},       {L"*.htm", L"page.html", false},
        {L"*.TXT", L"b.txtx", false},     {L"?.log", L"b.log", true},     {L"a?", L"a", true},
        {L"a?", L"ab", true},             {L"a?", L"abc", false},         {L"a?.txt", L"a.txt", true},
        {L"x;y.txt", L"X;Y.TXT", true},   {L"*.txt;*.log", L"a.txt", false}, {L"<", L"README", true},
        {L"<", L"a.b", false},            {L"\u00e9*", L"\u00c9t\u00e9.jpg", true}, {L"", L"a", false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(NameMatch(row.pattern).Matches(row.name), row.matches)
            << testing::PrintToString(std::wstring(row.pattern)) << " on " << testing::PrintToString(std::wstring(row.name));
}

} // namespace
