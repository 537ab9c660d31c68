// Runs with Windows' refusals (WindowsRefusals) and the same runs without them, each held against
// the outcome that the rules give, byte for byte: a folder in the middle of the tree's pre-order
// that refuses listing, a branch more than 300 characters deep whose targets lie past 260
// characters, flat and as a tree, copied and moved, into a destination whose name ends in a dot,
// which names the folder without it (below the limit and past it alike).
#include "tests/reliability/CheckedRunTest.h"
#include "tests/reliability/TreeState.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

class AsOnWindowsRunTest : public CheckedRunTest,
                           public testing::WithParamInterface<std::tuple<const wchar_t*, bool, bool>> {};

TEST_P(AsOnWindowsRunTest, EveryFileThatCanBeReachedIsGathered)
{
    const auto [separator, deleteSource, windows] = GetParam();
    settings.source = root / std::wstring(100, L's');
    settings.destination = root / (std::wstring(100, L'D') + L"\\new.");
    settings.separator = separator;
    settings.deleteSource = deleteSource;
    asOnWindows = windows;
    unlistable = {settings.source + L"\\m"};
    const std::wstring deep = std::wstring(80, L'd') + L"\\" + std::wstring(80, L'e');
    for (const std::wstring file : {L"top.txt", L"a\\1.txt", L"m\\2.txt", L"m\\sub\\3.txt", L"z\\4.txt"})
        WriteFileBytes(settings.source + L"\\" + file, "content of " + Utf8(file));
    WriteFileBytes(settings.source + L"\\" + deep + L"\\deep.txt", std::string(70000, 'x') + "deep");
    ASSERT_GT(settings.source.size() + deep.size() + 10, 300u);
    ASSERT_GT(settings.destination.size() + deep.size() + 10, 260u);
    ASSERT_LT(settings.destination.size(), 248u);

    RunAndCheck("");
}

INSTANTIATE_TEST_SUITE_P(, AsOnWindowsRunTest,
                         testing::Combine(testing::Values(L".", L"\\"), testing::Bool(), testing::Bool()),
                         [](const auto& info) {
                             return std::string(*std::get<0>(info.param) == L'.' ? "Flat" : "Tree") +
                                    (std::get<1>(info.param) ? "Move" : "Copy") +
                                    (std::get<2>(info.param) ? "AsOnWindows" : "OnThisPlatform");
                         });

} // namespace
