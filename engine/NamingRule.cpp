#include "engine/NamingRule.h"

#include "engine/NameFold.h"
#include "engine/PathText.h"

#include <algorithm>
#include <array>

namespace {

// Whether Windows reads a name as one of its devices: the part before the first dot, trailing
// blanks aside, is a device's name in any letter case.
bool IsDeviceName(const std::wstring& name)
{
    std::wstring base = name.substr(0, name.find(L'.'));
    base.erase(base.find_last_not_of(L' ') + 1);
    base = FoldName(base);
    static const std::array<const wchar_t*, 6> devices = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
    for (const wchar_t* device : devices) {
        if (base == device)
            return true;
    }
    return base.size() == 4 && (base.starts_with(L"COM") || base.starts_with(L"LPT")) &&
           ((base[3] >= L'0' && base[3] <= L'9') || base[3] == L'\u00b9' || base[3] == L'\u00b2' ||
            base[3] == L'\u00b3');
}

} // namespace

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

std::wstring MakeCopyPath(const NamingRule& rule, const std::wstring& entry, bool* reservedName)
{
    const std::wstring folded = FoldPath(entry, rule.normalizedSeparator);
    std::wstring path = rule.destinationPrefix;
    path.reserve(path.size() + folded.size());
    for (size_t from = 0;;) {
        const size_t end = folded.find(L'\\', from);
        std::wstring name = folded.substr(from, end == std::wstring::npos ? std::wstring::npos : end - from);
        if (IsDeviceName(name)) {
            if (reservedName != nullptr)
                *reservedName = true;
            return {};
        }
        if (name.find(L':') != std::wstring::npos)
            return {};
        if (end == std::wstring::npos) {
            if (name.empty() || name.back() == L'.' || name.back() == L' ')
                return {};
            // The extended form takes "." and ".." and empty names literally: resolved here, the
            // copy reaches what the plain form of the destination would.
            if (IsExtendedPath(rule.destinationPrefix))
                return AppendLiterally(rule.destinationPrefix, path.substr(rule.destinationPrefix.size()) + name);
            return path + name;
        }
        // "." and ".." lead where the platform takes them, and an empty name (a doubled backslash)
        // is passed over by it.
        if (!name.empty() && name != L"." && name != L"..") {
            const size_t kept = name.find_last_not_of(L". ");
            if (kept == std::wstring::npos)
                return {};
            name.resize(kept + 1);
        }
        path += name + L'\\';
        from = end + 1;
    }
}
