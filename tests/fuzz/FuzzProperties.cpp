#include "tests/fuzz/FuzzProperties.h"

#include "app/CommandLine.h"
#include "engine/CopySettings.h"
#include "engine/NameFold.h"
#include "engine/NameMatch.h"
#include "engine/NamingRule.h"
#include "engine/PathText.h"

#include <algorithm>
#include <cwchar>
#include <string_view>

namespace {

// Each pair of bytes is one code unit, low byte first; an odd last byte is dropped.
std::wstring TextOf(const uint8_t* data, size_t size)
{
    std::wstring text;
    text.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2)
        text += static_cast<wchar_t>(data[i] | data[i + 1] << 8);
    return text;
}

class Failures {
public:
    bool Check(bool holds, const std::string& property)
    {
        if (!holds)
            text += "broken: " + property + "\n";
        return holds;
    }

    std::string text;
};

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

bool IsBlankOrQuote(wchar_t c)
{
    return IsBlank(c) || c == L'"';
}

// Whether `kept` is `text` with none, some or all of its dots and blanks left out.
bool DropsOnlyDotsAndBlanks(const std::wstring& text, const std::wstring& kept)
{
    size_t at = 0;
    for (wchar_t c : text) {
        if (at < kept.size() && kept[at] == c)
            ++at;
        else if (c != L'.' && c != L' ')
            return false;
    }
    return at == kept.size();
}

void CheckCopySettings(const CommandLine& line, Failures& failures)
{
    CopySettings settings{true, L"stale source", L"stale destination", L"stale mask", L"stale separator"};
    FillCopySettings(line, settings);

    // The source is the first non-empty argument after the program path, the destination the
    // next non-empty one after it.
    const auto nonEmpty = [](const wchar_t* token) { return token[0] != L'\0'; };
    const wchar_t* const* arguments = line.argv + 1;
    const wchar_t* const* end = line.argv + std::max(line.argc, 1);
    const wchar_t* const* source = std::find_if(arguments, end, nonEmpty);
    const wchar_t* const* destination = source == end ? end : std::find_if(source + 1, end, nonEmpty);
    failures.Check(settings.source == (source == end ? L"" : *source),
                   "the source is the first non-empty argument after the program path");
    failures.Check(settings.destination == (destination == end ? L"" : *destination),
                   "the destination is the next non-empty argument after the source");
    failures.Check(!settings.deleteSource && settings.mask == L"*" && settings.separator == L".",
                   "the other settings get their start values");
}

void CheckEnsureTrailingDelimiter(const std::wstring& folder, Failures& failures)
{
    const std::wstring result = EnsureTrailingDelimiter(folder);
    const bool ended = folder.empty() || folder.back() == L'\\';
    failures.Check(result.starts_with(folder) && result.size() == folder.size() + (ended ? 0 : 1),
                   "a trailing delimiter is the folder plus at most one character, none when it has one");
    failures.Check(folder.empty() || result.back() == L'\\', "a non-empty folder ends in a backslash");
}

// The parts of the entry before its first backslash and after its last one survive folding.
void CheckFoldPath(const std::wstring& entry, const std::wstring& separator, Failures& failures)
{
    const std::wstring folded = FoldPath(entry, separator);
    const size_t backslashes = std::count(entry.begin(), entry.end(), L'\\');
    failures.Check(separator.find(L'\\') != std::wstring::npos || folded.find(L'\\') == std::wstring::npos,
                   "folding leaves no backslash unless the separator holds one");
    failures.Check(folded.size() + backslashes == entry.size() + backslashes * separator.size(),
                   "the folded length is the entry's plus (separator length - 1) per backslash");
    failures.Check(folded.starts_with(entry.substr(0, entry.find(L'\\'))),
                   "folding keeps the entry's first folder name at the start");
    failures.Check(folded.ends_with(LastName(entry)),
                   "folding keeps the file's own name at the end");
}

// Folding puts each code unit in its upper case, which folds to itself, and two names are one for
// the platform exactly when they fold alike.
void CheckFolding(const std::wstring& a, const std::wstring& b, Failures& failures)
{
    const std::wstring folded = FoldName(a);
    failures.Check(folded.size() == a.size() && FoldName(folded) == folded,
                   "folding keeps the length and changes nothing in a folded name");
    failures.Check(SameName(a, folded), "a name and its folded form are one name");
    failures.Check(SameName(a, b) == (folded == FoldName(b)), "two names are one exactly when they fold alike");
}

// The mask on a file's own name, the name that the listing matches.
void CheckMask(const std::wstring& mask, const std::wstring& name, Failures& failures)
{
    failures.Check(NameMatch(L"*").Matches(name) && NameMatch(L"*.*").Matches(name),
                   "\"*\" and \"*.*\" match every name");
    const bool matches = NameMatch(mask).Matches(name);
    failures.Check(NameMatch(mask).Matches(FoldName(name)) == matches &&
                       NameMatch(FoldName(mask)).Matches(name) == matches,
                   "the mask matches letter case aside");
    // <, > and " are wildcards too in the directory search's own reading of a pattern.
    if (mask.find_first_of(L"*?<>\"") == std::wstring::npos)
        failures.Check(matches == (SameName(name, mask) || (mask.ends_with(L'.') && SameName(name + L'.', mask))),
                       "a mask without wildcards matches the names equal to it, a last dot also the name's end");
}

// Where the entry's copy is written, by what MakeCopyPath promises of a path that it does not refuse.
void CheckCopyPath(const NamingRule& rule, const std::wstring& entry, Failures& failures)
{
    bool reservedName = false;
    const std::wstring copy = MakeCopyPath(rule, entry, &reservedName);
    failures.Check(!reservedName || copy.empty(), "a device's name gives no copy path");
    if (copy.empty())
        return;
    failures.Check(copy.starts_with(rule.destinationPrefix) || IsExtendedPath(copy),
                   "a copy path begins with the destination prefix or is in the extended form");
    const std::wstring target = MakeTargetPath(rule, entry);
    const std::wstring name = LastName(copy);
    failures.Check(name == LastName(target), "the copy keeps the target's file name");
    failures.Check(!name.empty() && !name.ends_with(L'.') && !name.ends_with(L' ') &&
                       name.find(L':') == std::wstring::npos,
                   "a copy's file name is not empty, ends in no dot or blank and holds no colon");
    if (!IsExtendedPath(rule.destinationPrefix))
        failures.Check(DropsOnlyDotsAndBlanks(target, copy) &&
                           copy.find(L':', rule.destinationPrefix.size()) == std::wstring::npos,
                       "behind a plain destination the copy path is the target path without some dots and blanks, "
                       "and holds no colon behind the prefix");
}

} // namespace

std::string CheckCommandLineProperties(const uint8_t* data, size_t size)
{
    std::wstring text = TextOf(data, size);
    // The platform hands over the command line as a null-terminated text.
    text.resize(std::wcslen(text.c_str()));
    const CommandLine line(text.c_str());
    Failures failures;

    if (!failures.Check(line.argc >= 0 && line.argc <= CommandLine::MAX_ARGS, "argc lies in 0 to 128"))
        return failures.text;
    failures.Check(line.argv[line.argc] == nullptr, "the slot after the last token is null");
    if (!failures.Check(line.buffer != nullptr, "a text gives a buffer"))
        return failures.text;

    const wchar_t* const begin = line.buffer.get();
    const wchar_t* const last = begin + text.size(); // the buffer's own terminator
    size_t previousEnd = 0;
    size_t joined = 0;
    for (int index = 0; index < line.argc; ++index) {
        const std::string which = "token " + std::to_string(index) + ": ";
        const wchar_t* token = line.argv[index];
        if (!failures.Check(token != nullptr && token >= begin && token <= last,
                            which + "it starts inside the buffer"))
            return failures.text;
        const wchar_t* terminator = std::find(token, last + 1, L'\0');
        if (!failures.Check(terminator <= last, which + "it is terminated inside the buffer"))
            return failures.text;

        const size_t offset = token - begin;
        const size_t length = terminator - token;
        joined += length;
        failures.Check(text.compare(offset, length, token, length) == 0, which + "it is the text at its place");
        failures.Check(index == 0 || offset > previousEnd, which + "it starts after the previous token's end");
        failures.Check(std::all_of(text.begin() + std::min(previousEnd, offset), text.begin() + offset, IsBlankOrQuote),
                       which + "only blanks, tabs and quotes lie before it");

        // A quote right before the token opened it, unless that quote closed the previous token.
        const bool quoted = offset > 0 && text[offset - 1] == L'"' && !(index > 0 && offset - 1 == previousEnd);
        const std::wstring_view held(token, length);
        failures.Check(quoted || held.find_first_of(L" \t") == std::wstring_view::npos,
                       which + "it holds a blank or tab only when it came from a quoted part");
        failures.Check(!quoted || held.find(L'"') == std::wstring_view::npos,
                       which + "a quoted part holds no quote");
        failures.Check(quoted || length > 0, which + "it is empty only when it came from a pair of quotes");
        const size_t after = offset + length;
        failures.Check(after == text.size() || (quoted ? text[after] == L'"' : IsBlank(text[after])),
                       which + "it runs up to its closing quote, or unquoted up to a blank or tab, or to the end");
        previousEnd = after;
    }
    failures.Check(joined <= text.size(), "the tokens together hold no more characters than the text");
    if (line.argc < CommandLine::MAX_ARGS)
        failures.Check(std::all_of(text.begin() + previousEnd, text.end(), IsBlankOrQuote),
                       "below 128 tokens nothing but blanks, tabs and quotes follows the last token");

    CheckCopySettings(line, failures);
    return failures.text;
}

std::string CheckNamingProperties(const uint8_t* data, size_t size)
{
    const std::wstring text = TextOf(data, size);
    std::wstring fields[4];
    size_t start = 0;
    for (std::wstring& field : fields) {
        const size_t end = std::min(text.find(L'\0', start), text.size());
        field = text.substr(start, end - start);
        start = std::min(end + 1, text.size());
    }
    const std::wstring& source = fields[0];
    const std::wstring& destination = fields[1];
    const std::wstring& separator = fields[2];
    const std::wstring& mask = fields[3];
    const std::wstring entry = text.substr(start);
    Failures failures;

    CheckEnsureTrailingDelimiter(source, failures);
    CheckEnsureTrailingDelimiter(destination, failures);
    const NamingRule rule = MakeNamingRule(source, destination, separator);
    failures.Check(rule.sourcePrefix == EnsureTrailingDelimiter(source) &&
                       rule.destinationPrefix == EnsureTrailingDelimiter(destination),
                   "the prefixes are the folders with a trailing delimiter");

    const bool holdsDelimiter = std::any_of(separator.begin(), separator.end(),
                                            [](wchar_t c) { return c == L'\\' || c == L'/'; });
    failures.Check(rule.subfolderMode == holdsDelimiter,
                   "subfolder mode exactly when the separator holds a backslash or slash");
    const std::wstring& normalized = rule.normalizedSeparator;
    failures.Check(!rule.subfolderMode || normalized.find(L'/') == std::wstring::npos,
                   "the normalized separator holds no slash in subfolder mode");
    failures.Check(rule.subfolderMode || normalized == separator,
                   "outside subfolder mode the separator stays as it is");
    bool sameOrSlashTurned = normalized.size() == separator.size();
    for (size_t i = 0; sameOrSlashTurned && i < separator.size(); ++i)
        sameOrSlashTurned = normalized[i] == separator[i] || (separator[i] == L'/' && normalized[i] == L'\\');
    failures.Check(sameOrSlashTurned, "normalizing changes nothing but slashes into backslashes");

    CheckFoldPath(entry, separator, failures);
    CheckFoldPath(entry, normalized, failures);
    failures.Check(FoldPath(entry, L"\\") == entry, "folding with a backslash gives the entry back");

    const std::wstring target = MakeTargetPath(rule, entry);
    failures.Check(target.starts_with(rule.destinationPrefix) &&
                       target.compare(rule.destinationPrefix.size(), std::wstring::npos,
                                      FoldPath(entry, normalized)) == 0,
                   "the target is the destination prefix and the entry folded with the normalized separator");
    failures.Check(MakeSourceDisplayPath(rule, entry) == rule.sourcePrefix + entry,
                   "the source display path is the source prefix and the entry");
    CheckCopyPath(rule, entry, failures);

    CheckFolding(LastName(entry), mask, failures);
    CheckMask(mask, LastName(entry), failures);
    return failures.text;
}
