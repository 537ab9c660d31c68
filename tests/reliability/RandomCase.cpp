#include "tests/reliability/RandomCase.h"

#include "engine/FileId.h"
#include "engine/PlatformPath.h"
#include "tests/reliability/Prng.h"
#include "tests/reliability/TreeState.h"
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace {

const std::vector<std::wstring> separators = {L"", L".", L"_", L" - ", L"\\", L"/", L"_/", L"\\\\"};

// Pieces of names: dots, blanks, underscores, letters that have a case beyond ASCII, and
// characters beyond the Basic Multilingual Plane (written as surrogate pairs).
const std::vector<std::wstring> fragments = {
    L"a",      L"b",      L"x",      L"Q",      L"data",   L"IMG",        L"read me",    L"v1.2",
    L"_",      L"-",      L" ",      L".",      L"2019",   L"\u00e9",     L"\u00dc",     L"\u0436",
    L"\u03a9", L"\u00f1", L"Stra\u00dfe", L"\U0001F600", L"\U0001D11E", L"\U00020000",
};
const std::vector<std::wstring> extensions = {L".txt", L".TXT", L".Txt", L".dat", L".jpg", L"", L".tar.gz",
                                              L".txtx"};
// Names that a plain path reads as a device; the tree makes them, and its names that end in a dot
// or a blank, through the extended form.
const std::vector<std::wstring> deviceNames = {L"aux.c", L"con.txt", L"nul", L"COM1", L"lpt1.log", L"prn"};
const std::vector<std::wstring> linkNames = {L"link", L"q", L"zlink", L"\u03a9 L"};
const std::vector<std::wstring> namePatterns = {L"*",   L"*",   L"*",     L"*.txt",     L"*.TXT", L"*.dat",
                                                L"?*",  L"*a*", L"*.*",   L"*\u00e9*", L"*.jpg", L"*x*"};

std::wstring Literal(const std::wstring& path)
{
    return L"\\\\?\\" + path;
}

std::wstring Upper(std::wstring text)
{
    CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsSurrogate(wchar_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

size_t Utf8Length(const std::wstring& text)
{
    return Utf8(text).size();
}

std::wstring Join(const std::wstring& folder, const std::wstring& name)
{
    return folder.empty() ? name : folder + L"\\" + name;
}

std::wstring FoldFlat(const std::wstring& path, const std::wstring& separator)
{
    std::wstring folded;
    for (const wchar_t c : path)
        folded += c == L'\\' ? separator : std::wstring(1, c);
    return folded;
}

class CaseBuilder {
public:
    CaseBuilder(std::uint64_t seed, const std::wstring& root, const std::wstring& links, CopySettings& settings)
        : rng(seed), seed(seed), root(root), links(links), source(settings.source), settings(settings)
    {
    }

    RandomCase Build()
    {
        settings.separator = rng.Pick(separators);
        settings.deleteSource = rng.Chance(50);
        MakeTree();
        ChooseDestination();
        if (rng.Chance(75)) {
            for (unsigned count = rng.Between(1, 6); count > 0; --count)
                AddMeetingFile();
        }
        ChooseMask();
        // Drawn last, so that every draw before it is what it was before there were such folders.
        // Not one that a target can lie in: there the run would not find its own copies; nor one that
        // a plain path does not reach, which the refusals cannot tell.
        std::vector<std::wstring> candidates;
        for (const std::wstring& folder : subfolders) {
            if (!(source + L"\\" + folder + L"\\").starts_with(destinationFolder + L"\\") &&
                PathKey(source + L"\\" + folder) == LiteralKey(source + L"\\" + folder))
                candidates.push_back(source + L"\\" + folder);
        }
        RandomCase made;
        if (!candidates.empty() && rng.Chance(30))
            made.refusing = Literal(rng.Pick(candidates));
        made.destinationFolder = SpellDestination();
        const unsigned maskKind = rng.Below(20);
        if (maskKind == 0)
            settings.mask = source + L"\\" + settings.mask;
        if (maskKind < 4)
            std::replace(settings.mask.begin(), settings.mask.end(), L'\\', L'/');
        AddLinks(made);
        return made;
    }

private:
    // Relative paths below the source folder stay short enough that every target name, folded
    // with the longest separator, stays well inside the platform's limits of 255 per name and 260
    // per path: the limits have tests of their own.
    static bool Fits(const std::wstring& relative)
    {
        return relative.size() <= 70 && Utf8Length(FoldFlat(relative, L" - ")) <= 200;
    }

    static unsigned Depth(const std::wstring& relative)
    {
        if (relative.empty())
            return 0;
        unsigned depth = 1;
        for (const wchar_t c : relative)
            depth += c == L'\\';
        return depth;
    }

    std::wstring FreshName(bool file)
    {
        if (rng.Chance(4))
            return rng.Pick(deviceNames);
        std::wstring name;
        for (unsigned pieces = rng.Between(1, 3); pieces > 0; --pieces)
            name += rng.Pick(fragments);
        if (file)
            name += rng.Pick(extensions);
        return name;
    }

    std::wstring CaseVariant(std::wstring name)
    {
        for (wchar_t& c : name) {
            if (IsSurrogate(c) || !rng.Chance(50))
                continue;
            wchar_t flipped = c;
            CharUpperBuffW(&flipped, 1);
            if (flipped == c)
                CharLowerBuffW(&flipped, 1);
            c = flipped;
        }
        return name;
    }

    // A name that no sibling has in any letter case, not made of dots and blanks alone; empty when
    // none fits after a few tries.
    std::wstring NewPath(const std::wstring& folder, bool file)
    {
        for (int attempt = 0; attempt < 20; ++attempt) {
            const std::wstring name =
                !usedNames.empty() && rng.Chance(20) ? CaseVariant(rng.Pick(usedNames)) : FreshName(file);
            if (name.find_first_not_of(L". ") == std::wstring::npos)
                continue;
            const std::wstring relative = Join(folder, name);
            if (!Fits(relative) || !Free(source + L"\\" + relative))
                continue;
            usedNames.push_back(name);
            return relative;
        }
        return {};
    }

    // Whether a file or folder can be made at the path: nothing of that name is there, and no
    // folder along it is a file.
    static bool Free(const std::wstring& path)
    {
        if (GetFileAttributesW(Literal(path).c_str()) != INVALID_FILE_ATTRIBUTES)
            return false;
        for (size_t slash = path.find(L'\\', 3); slash != std::wstring::npos; slash = path.find(L'\\', slash + 1)) {
            if (FileExists(Literal(path.substr(0, slash))))
                return false;
        }
        return true;
    }

    std::string Content()
    {
        const unsigned roll = rng.Below(100);
        size_t size = roll < 8 ? 0 : roll < 90 ? rng.Between(1, 3000) : roll < 98 ? rng.Between(3000, 65536)
                                                                                  : rng.Between(65536, 1 << 20);
        std::string bytes = "seed " + std::to_string(seed) + " file " + std::to_string(++fileCount) + "\n";
        if (size < bytes.size())
            size = size == 0 ? 0 : bytes.size(); // every non-empty file keeps its own content
        while (bytes.size() < size) {
            const std::uint64_t word = rng.Next();
            bytes.append(reinterpret_cast<const char*>(&word), std::min<size_t>(8, size - bytes.size()));
        }
        bytes.resize(size);
        return bytes;
    }

    void WriteFile(const std::wstring& path)
    {
        WriteFileBytes(Literal(path), Content());
        DWORD attributes = 0;
        if (rng.Chance(10))
            attributes |= FILE_ATTRIBUTE_READONLY;
        if (rng.Chance(10))
            attributes |= FILE_ATTRIBUTE_HIDDEN;
        if (attributes != 0)
            SetFileAttributesW(Literal(path).c_str(), attributes);
    }

    void MakeTree()
    {
        std::vector<std::wstring> folders = {L""};
        for (unsigned count = rng.Between(0, 12); count > 0; --count) {
            const std::wstring parent = rng.Pick(folders);
            if (Depth(parent) >= 6)
                continue;
            const std::wstring folder = NewPath(parent, false);
            if (folder.empty())
                continue;
            MakeFolders(Literal(source + L"\\" + folder));
            if (rng.Chance(10))
                SetFileAttributesW(Literal(source + L"\\" + folder).c_str(), FILE_ATTRIBUTE_HIDDEN);
            folders.push_back(folder);
        }
        subfolders.assign(folders.begin() + 1, folders.end());
        const unsigned roll = rng.Below(100);
        const unsigned count = roll < 3 ? 0 : roll < 70 ? rng.Between(1, 15) : rng.Between(16, 40);
        for (unsigned index = 0; index < count; ++index) {
            const std::wstring file = NewPath(rng.Pick(folders), true);
            if (file.empty())
                continue;
            WriteFile(source + L"\\" + file);
            files.push_back(file);
        }
    }

    void ChooseDestination()
    {
        const unsigned kind = rng.Below(100);
        if (kind < 40) {
            const bool missing = rng.Chance(25);
            destinationFolder = root + (missing ? L"\\new\\deeper\\dst" : L"\\dst");
            if (!missing)
                MakeFolders(destinationFolder);
            settings.destination = !missing && rng.Chance(30) ? L"..\\dst" : destinationFolder;
            if (!missing && rng.Chance(40)) {
                for (unsigned count = rng.Between(1, 3); count > 0; --count) {
                    const std::wstring name = FreshName(true);
                    if (name.back() != L'.' && name.back() != L' ' && Free(destinationFolder + L"\\" + name))
                        WriteFile(destinationFolder + L"\\" + name);
                }
            }
        } else if (kind < 65) {
            destinationFolder = source;
            const std::vector<std::wstring> spellings = {source, Upper(source), L".", source + L"\\",
                                                         L"..\\src", L"..\\SRC"};
            settings.destination = rng.Pick(spellings);
        } else {
            const bool existing = !subfolders.empty() && rng.Chance(50);
            std::wstring inside = existing ? rng.Pick(subfolders) : rng.Chance(50) ? L"out" : L"out\\deeper";
            if (PathKey(source + L"\\" + inside) != LiteralKey(source + L"\\" + inside))
                inside = L"out"; // a folder that a plain path does not reach is no destination a user can type
            destinationFolder = source + L"\\" + inside;
            settings.destination = rng.Chance(50) ? CaseVariant(inside) : source + L"\\" + CaseVariant(inside);
        }
        if (rng.Chance(20) && settings.destination.back() != L'\\')
            settings.destination += L"\\";
    }

    // A file (now and then a folder) placed where a listed file's copy will go, or, in a flat
    // run, a second source whose target is the same: the cases where a careless run loses a file.
    void AddMeetingFile()
    {
        if (files.empty())
            return;
        const std::wstring file = rng.Pick(files);
        const std::wstring& separator = settings.separator;
        const bool subfolderMode = separator.find_first_of(L"\\/") != std::wstring::npos;
        std::wstring path;
        if (!subfolderMode && rng.Chance(60)) {
            const std::wstring resplit = Resplit(FoldFlat(file, separator), separator);
            if (resplit.empty() || resplit == file)
                return;
            path = source + L"\\" + CaseVariant(resplit);
        } else {
            std::wstring normalized = separator;
            for (wchar_t& c : normalized)
                c = c == L'/' ? L'\\' : c;
            path = destinationFolder + L"\\" + CaseVariant(FoldFlat(file, normalized));
            if (path.find(L"\\\\") != std::wstring::npos)
                return;
        }
        const bool inSource = path.starts_with(source + L"\\");
        if ((inSource && !Fits(path.substr(source.size() + 1))) || !Free(path))
            return;
        const unsigned kind = rng.Below(100);
        const size_t folderEnd = path.find(L'\\', destinationFolder.size() + 1);
        if (kind < 10) {
            MakeFolders(Literal(path)); // the copy onto it fails
        } else if (kind < 20 && subfolderMode && folderEnd != std::wstring::npos) {
            if (Free(path.substr(0, folderEnd)))
                WriteFile(path.substr(0, folderEnd)); // the folder that the copy needs is a file
        } else {
            WriteFile(path);
            if (inSource)
                files.push_back(path.substr(source.size() + 1));
        }
    }

    // A path whose folded name is `folded`: with a separator, some of its occurrences turned back
    // into backslashes; without one, backslashes put between characters (never inside a surrogate
    // pair). Empty when a folder along it would be empty or end in a dot or a blank, or the file's
    // name would be dots and blanks alone.
    std::wstring Resplit(std::wstring folded, const std::wstring& separator)
    {
        if (!separator.empty()) {
            for (size_t at = folded.find(separator); at != std::wstring::npos; at = folded.find(separator, at + 1)) {
                if (rng.Chance(50))
                    folded.replace(at, separator.size(), L"\\");
            }
        } else if (folded.size() > 1) {
            const size_t at = rng.Between(1, static_cast<unsigned>(folded.size() - 1));
            if (!IsSurrogate(folded[at]))
                folded.insert(at, 1, L'\\');
        }
        for (size_t end = folded.find(L'\\'); end != std::wstring::npos; end = folded.find(L'\\', end + 1)) {
            if (end == 0 || folded[end - 1] == L'.' || folded[end - 1] == L' ' || folded[end - 1] == L'\\' ||
                end + 1 == folded.size())
                return {};
        }
        if (folded.find_first_not_of(L". ", folded.rfind(L'\\') + 1) == std::wstring::npos)
            return {}; // a last name of dots and blanks names no file
        return folded;
    }

    // The destination written another way, drawn last: with slashes, in the extended form, by the
    // root folder's short name, through a folder link to it or through a drive whose root holds it.
    // Returns the destination as the tree spells it when the text differs.
    std::wstring SpellDestination()
    {
        const unsigned kind = rng.Below(10);
        std::wstring full;
        {
            const CurrentDirectoryScope inSource(source);
            full = FullPath(settings.destination);
        }
        // Wine's invented short names can collide: one that reaches another folder is not used.
        std::wstring shortRoot(MAX_PATH, L'\0');
        shortRoot.resize(GetShortPathNameW(root.c_str(), shortRoot.data(), MAX_PATH));
        const std::wstring belowRoot = full.substr(root.size());
        if (kind == 0)
            std::replace(settings.destination.begin(), settings.destination.end(), L'\\', L'/');
        else if (kind == 1)
            settings.destination = Literal(full);
        else if (kind == 2 && !shortRoot.empty() && ReadFileId(shortRoot) == ReadFileId(root))
            settings.destination = shortRoot + belowRoot;
        else if (kind == 3 && MakeFolderLink(links + L"\\link", L"..\\" + root.substr(root.rfind(L'\\') + 1)))
            settings.destination = links + L"\\link" + belowRoot;
        else if (kind == 4)
            settings.destination = TempDrive() + root.substr(root.rfind(L'\\')) + belowRoot;
        else
            return {};
        return full;
    }

    // Folder links between the two trees, drawn last of all: one in the destination (or a folder
    // made below it) that leads into the source tree, one in the source tree that leads into the
    // destination (or a folder made below it), each now and then.
    void AddLinks(RandomCase& made)
    {
        const bool intoSource = rng.Chance(15);
        const bool intoDestination = rng.Chance(15);
        const std::wstring sourceFolder = rng.Chance(30) || subfolders.empty() ? source : source + L"\\" + rng.Pick(subfolders);
        std::wstring deeper = rng.Chance(50) ? L"" : L"\\" + rng.Pick(fragments);
        if (deeper.ends_with(L'.') || deeper.ends_with(L' '))
            deeper.clear(); // a folder that a plain path does not reach
        const std::wstring name = rng.Pick(linkNames);
        if (!FolderExists(Literal(destinationFolder)))
            return;
        if (intoSource)
            AddLink(destinationFolder + deeper + L"\\" + name, sourceFolder, made);
        if (intoDestination)
            AddLink(sourceFolder + L"\\" + name, destinationFolder + deeper, made);
    }

    void AddLink(const std::wstring& link, const std::wstring& target, RandomCase& made)
    {
        const std::wstring folder = link.substr(0, link.rfind(L'\\'));
        if (!Free(link) || PathKey(link) != LiteralKey(link) || PathKey(target) != LiteralKey(target))
            return; // a link is made through plain paths
        MakeFolders(Literal(folder));
        MakeFolders(Literal(target));
        // The target from the link's folder: up to the root, then down.
        std::wstring relative;
        for (size_t at = root.size(); at < folder.size(); at = folder.find(L'\\', at + 1))
            relative += L"..\\";
        relative += target.substr(root.size() + 1);
        if (MakeFolderLink(link, relative))
            made.links.push_back({link, target});
    }

    void ChooseMask()
    {
        std::wstring pattern = rng.Pick(namePatterns);
        if (rng.Chance(15) && !usedNames.empty()) {
            const std::wstring name = rng.Pick(usedNames);
            const wchar_t c = name[rng.Below(static_cast<unsigned>(name.size()))];
            if (!IsSurrogate(c) && c != L' ' && c != L'.')
                pattern = L"*" + std::wstring(1, c) + L"*";
        }
        // Through the source's parent, a subfolder separator can lead a target out of the
        // destination; with the destination being the source, it leads onto the source instead.
        const bool subfolderMode = settings.separator.find_first_of(L"\\/") != std::wstring::npos;
        std::wstring folderPart;
        if (subfolderMode && destinationFolder != source && rng.Chance(40)) {
            folderPart = L"..\\" + CaseVariant(L"src") + L"\\";
        } else if (rng.Chance(35)) {
            const unsigned kind = rng.Below(10);
            if (kind < 3 && !subfolders.empty())
                folderPart = CaseVariant(rng.Pick(subfolders)) + L"\\";
            else if (kind < 4)
                folderPart = L"nowhere\\";
            else if (kind < 6)
                folderPart = L".\\";
            else
                folderPart = L"..\\" + CaseVariant(L"src") + L"\\";
        }
        settings.mask = folderPart + pattern;
    }

    Prng rng;
    const std::uint64_t seed;
    const std::wstring root;
    const std::wstring links;
    const std::wstring source;
    CopySettings& settings;
    std::wstring destinationFolder;
    std::vector<std::wstring> subfolders; // below the source folder
    std::vector<std::wstring> files;      // below the source folder
    std::vector<std::wstring> usedNames;
    unsigned fileCount = 0;
};

} // namespace

RandomCase MakeRandomCase(std::uint64_t seed, const std::wstring& root, const std::wstring& links, CopySettings& settings)
{
    return CaseBuilder(seed, root, links, settings).Build();
}
