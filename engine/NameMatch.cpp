#include "engine/NameMatch.h"

#include "engine/NameFold.h"

#include <vector>

namespace {

// The wildcards of the directory search's own reading of a pattern.
constexpr wchar_t starToLastDot = L'<';  // "*" before a dot
constexpr wchar_t oneOrNone = L'>';      // "?"
constexpr wchar_t dotOrEnd = L'"';       // a dot before a wildcard or at the end

std::wstring SearchExpression(std::wstring pattern)
{
    if (pattern == L"*.*")
        return L"*";
    for (size_t at = 0; at < pattern.size(); ++at) {
        const wchar_t next = at + 1 < pattern.size() ? pattern[at + 1] : L'\0';
        if (pattern[at] == L'?')
            pattern[at] = oneOrNone;
        else if (pattern[at] == L'.' && (next == L'?' || next == L'*' || next == L'\0'))
            pattern[at] = dotOrEnd;
        else if (pattern[at] == L'*' && next == L'.')
            pattern[at] = starToLastDot;
    }
    return pattern;
}

} // namespace

NameMatch::NameMatch(const std::wstring& pattern) : expression(SearchExpression(FoldName(pattern))) {}

bool NameMatch::Matches(const std::wstring& name) const
{
    if (expression == L"*")
        return true;
    const std::wstring text = FoldName(name);
    const size_t lastDot = text.rfind(L'.');
    const size_t size = text.size();
    // matches[n]: whether the expression from the current position on matches the name from n on;
    // worked out from the end of the expression backwards.
    std::vector<char> matches(size + 2, 0), before(size + 2, 0);
    matches[size] = 1;
    for (size_t p = expression.size(); p-- > 0;) {
        const wchar_t c = expression[p];
        for (size_t n = size + 1; n-- > 0;) {
            const bool more = n < size;
            bool match = false;
            switch (c) {
            case L'*':
                match = matches[n] || (more && before[n + 1]);
                break;
            case starToLastDot: // never takes the name's last dot
                match = matches[n] || (more && n != lastDot && before[n + 1]);
                break;
            case L'?':
                match = more && matches[n + 1];
                break;
            case oneOrNone:
                match = (!more || text[n] == L'.') ? matches[n] : matches[n + 1];
                break;
            case dotOrEnd:
                match = more ? text[n] == L'.' && matches[n + 1] : matches[n];
                break;
            default:
                match = more && text[n] == c && matches[n + 1];
                break;
            }
            before[n] = match;
        }
        matches.swap(before);
    }
    return matches[0] != 0;
}
