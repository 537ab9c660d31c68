#include "engine/NamingRule.h"

#include <algorithm>

std::wstring EnsureTrailingDelimiter(std::wstring folder)
{
    if (!folder.empty() && folder.back() != L'\\')
        folder += L'\\';
    return folder;
}

NamingRule MakeNamingRule(const std::wstring& source, const std::wstring& destination,
                          const std::wstring& separator)
{
    NamingRule rule;
    rule.sourcePrefix = EnsureTrailingDelimiter(source);
    rule.destinationPrefix = EnsureTrailingDelimiter(destination);
    rule.subfolderMode = separator.find_first_of(L"\\/") != std::wstring::npos;
    rule.normalizedSeparator = separator;
    if (rule.subfolderMode)
        std::replace(rule.normalizedSeparator.begin(), rule.normalizedSeparator.end(), L'/', L'\\');
    return rule;
}

std::wstring FoldPath(const std::wstring& entry, const std::wstring& separator)
{
    std::wstring folded;
    folded.reserve(entry.size());
    for (wchar_t c : entry) {
        if (c == L'\\')
            folded += separator;
        else
            folded += c;
    }
    return folded;
}

std::wstring MakeTargetPath(const NamingRule& rule, const std::wstring& entry)
{
    return rule.destinationPrefix + FoldPath(entry, rule.normalizedSeparator);
}

std::wstring MakeSourceDisplayPath(const NamingRule& rule, const std::wstring& entry)
{
    return rule.sourcePrefix + entry;
}

bool NamesAStream(const NamingRule& rule, const std::wstring& target)
{
    return target.find(L':', rule.destinationPrefix.size()) != std::wstring::npos;
}
