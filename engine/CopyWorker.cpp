#include "engine/CopyWorker.h"

#include "app/CopySettings.h"
#include "engine/CreateDirectoryPath.h"
#include "engine/FileLister.h"
#include "engine/NamingRule.h"
#include "framework/Dialog.h"
#include "ui/resources/Resource.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// A path as Windows compares file names: resolved as the platform resolves it (against the
// current directory; slashes, "." and "..", trailing dots and blanks) and upper-cased without
// regard to the user's locale. Empty when the platform cannot resolve it.
std::wstring FileNameKey(const std::wstring& path)
{
    std::wstring full(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFullPathNameW(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (length == 0)
            return {};
        if (length < full.size()) {
            full.resize(length);
            break;
        }
        full.resize(length); // too small: `length` is the size needed, terminator included
    }
    std::wstring key(full.size(), L'\0');
    const int size = static_cast<int>(full.size());
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, full.data(), size, key.data(), size, nullptr,
                      nullptr, 0) != size)
        return {};
    return key;
}

// Decides, for one run, which copies and deletions keep the content of every listed file. A copy
// may write only inside the destination (a mask or a separator with ".." could lead out of it)
// and never onto a listed source that this run has not deleted, which also keeps a file from
// being copied onto itself; a source is deleted only when no later entry has the same target,
// whose copy would overwrite the source's copy. Built once from the whole list, then one hash
// lookup per question. Owned by the worker.
//
// Keys are held once, without the destination's own key in front: every target that may be
// written lies inside the destination, so only sources inside it can be such a target, and the
// others are not kept at all. For a large tree this keeps the guard to one key per target.
class CopyGuard {
public:
    CopyGuard(const NamingRule& rule, const std::vector<std::wstring>& files)
        : destination(EnsureTrailingDelimiter(FileNameKey(rule.destinationPrefix))),
          sources(files.size()), targets(files.size())
    {
        for (size_t index = 0; index < files.size(); ++index) {
            const std::wstring sourceKey = FileNameKey(files[index]);
            if (sourceKey.empty())
                continue;
            if (IsInside(sourceKey)) {
                sources[index] = &*liveSources.try_emplace(sourceKey.substr(destination.size()), 0).first;
                ++sources[index]->second;
            }
            const std::wstring target = MakeTargetPath(rule, files[index]);
            const std::wstring targetKey = FileNameKey(target);
            if (IsInside(targetKey) && FoldersStayInside(rule.destinationPrefix.size(), target) &&
                !NamesAStream(rule, target)) {
                targets[index] = &*lastWithTarget.try_emplace(targetKey.substr(destination.size()), index).first;
                targets[index]->second = index;
            }
        }
    }

    bool MayCopy(size_t index) const
    {
        if (targets[index] == nullptr)
            return false;
        const auto source = liveSources.find(targets[index]->first);
        return source == liveSources.end() || source->second == 0;
    }

    // After a successful copy in a move: whether the source may go.
    bool MayDelete(size_t index) const { return targets[index]->second == index; }

    void SourceDeleted(size_t index)
    {
        if (sources[index] != nullptr)
            --sources[index]->second;
    }

private:
    bool IsInside(const std::wstring& key) const
    {
        return !destination.empty() && key.size() > destination.size() && key.starts_with(destination);
    }

    // Whether every folder that the subfolder walk passes behind the destination's own
    // `prefixLength` characters resolves to the destination (a key ending in a backslash) or
    // below it: a separator with ".." could lead out of it and back in. The answer depends only on
    // the target's folder, and the files of one folder come one after another, so the answer for
    // the last folder is kept.
    bool FoldersStayInside(size_t prefixLength, const std::wstring& target)
    {
        const std::wstring folder = target.substr(0, target.rfind(L'\\') + 1);
        if (folderChecked && folder == checkedFolder)
            return checkedFolderStaysInside;
        folderChecked = true;
        checkedFolder = folder;
        checkedFolderStaysInside = true;
        for (size_t slash = target.find(L'\\', prefixLength); slash != std::wstring::npos;
             slash = target.find(L'\\', slash + 1)) {
            if (!EnsureTrailingDelimiter(FileNameKey(target.substr(0, slash))).starts_with(destination)) {
                checkedFolderStaysInside = false;
                break;
            }
        }
        return checkedFolderStaysInside;
    }

    const std::wstring destination; // the destination's key, ending in a backslash; empty if unresolved
    // Listed sources inside the destination that still hold their content, by key behind the
    // destination's, with the number of entries that name each (two entries can share one). An
    // entry's pointer stays valid: nothing is ever removed.
    std::unordered_map<std::wstring, int> liveSources;
    std::vector<std::pair<const std::wstring, int>*> sources; // null: the source is outside
    // The last entry whose copy goes to each target, by key behind the destination's.
    std::unordered_map<std::wstring, size_t> lastWithTarget;
    std::vector<std::pair<const std::wstring, size_t>*> targets; // null: never copied (outside, unresolved)
    bool folderChecked = false; // FoldersStayInside's last folder and its answer
    std::wstring checkedFolder;
    bool checkedFolderStaysInside = false;
};

// What a target path reaches: nothing, a file that the directory lists under the path's own last
// name (letter case aside), or a file listed under another name, which a copy to the path would
// overwrite in its place. Wine cuts a name of more than 255 bytes of UTF-8 to 255 bytes when the
// cut falls inside a character and reaches that shorter name; a short 8.3 name reaches its
// long-named file.
enum class Reached { Nothing, ItsOwnName, AnotherName };

Reached WhatPathReaches(const std::wstring& path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Reached::Nothing;
    WIN32_FIND_DATAW data;
    const HANDLE found = FindFirstFileW(path.c_str(), &data);
    if (found == INVALID_HANDLE_VALUE)
        return Reached::AnotherName;
    FindClose(found);
    const wchar_t* name = path.c_str() + (path.find_last_of(L'\\') + 1); // the whole path when it has no backslash
    return CompareStringOrdinal(name, -1, data.cFileName, -1, TRUE) == CSTR_EQUAL ? Reached::ItsOwnName
                                                                                  : Reached::AnotherName;
}

// Copies the entry onto its target unless the target reaches a file of another name. The first
// attempt refuses a target that is there already: a new target, the usual case, then costs one
// lookup of its name, where the check beforehand and the overwriting copy's own test whether the
// target is the source would add one each, and on Wine a lookup of a name that is not there reads
// the whole folder. A target that is there, or a first attempt that failed for any other reason,
// takes the checked way, so the outcome is the overwriting copy's in every case.
bool CopyToTarget(const std::wstring& entry, const std::wstring& target)
{
    if (CopyFileW(entry.c_str(), target.c_str(), TRUE))
        return true;
    return WhatPathReaches(target) != Reached::AnotherName && CopyFileW(entry.c_str(), target.c_str(), FALSE);
}

// True when the source is gone: a read-only or system source is deleted at the second attempt.
bool DeleteSource(const std::wstring& entry)
{
    if (DeleteFileW(entry.c_str()))
        return true;
    SetFileAttributesW(entry.c_str(), FILE_ATTRIBUTE_NORMAL); // the second deletion tells whether it helped
    return DeleteFileW(entry.c_str()) != FALSE;
}

} // namespace

DWORD CopyWorker(Dialog& progress, const std::atomic<bool>& cancelRequested, const CopySettings& settings)
{
    const std::wstring source = settings.source;
    const std::wstring destination = settings.destination;
    std::wstring mask = settings.mask;
    const std::wstring separator = settings.separator;

    const NamingRule rule = MakeNamingRule(source, destination, separator);
    if (mask.empty())
        mask = L"*";
    FileLister lister;
    lister.ListFiles(mask);
    const std::vector<std::wstring>& files = lister.FileList;
    const int count = static_cast<int>(files.size());
    CopyGuard guard(rule, files);

    // Wrappers of the dialog's controls: handles only, never subclassed, so that releasing them
    // leaves the controls alone. Every text goes out as WM_SETTEXT, sent to the user-interface
    // thread, and returns once that thread has handled it.
    Window status, fromLabel, toLabel, fromText, toText, bar;
    status.handle = GetDlgItem(progress.handle, IDC_STATUS_TEXT);
    fromLabel.handle = GetDlgItem(progress.handle, IDC_FROM_LABEL);
    toLabel.handle = GetDlgItem(progress.handle, IDC_TO_LABEL);
    fromText.handle = GetDlgItem(progress.handle, IDC_FROM_TEXT);
    toText.handle = GetDlgItem(progress.handle, IDC_TO_TEXT);
    bar.handle = GetDlgItem(progress.handle, IDC_PROGRESS_BAR);

    SetWindowTextW(status.handle, L"Copying:");
    SetWindowTextW(fromLabel.handle, L"From:");
    SetWindowTextW(toLabel.handle, L"To:");
    SendMessageW(bar.handle, PBM_SETRANGE32, 0, count);
    SendMessageW(bar.handle, PBM_SETPOS, 0, 0);
    CreateDirectoryPath(rule.destinationPrefix); // a destination that cannot be made fails every copy

    // cancelRequested: only the user-interface thread writes it, once from false to true; no
    // other data comes with it, so a relaxed read that sees the change soon is enough.
    for (int i = 0; i < count && !cancelRequested.load(std::memory_order_relaxed); ++i) {
        const std::wstring& entry = files[i];
        const std::wstring target = MakeTargetPath(rule, entry);
        wchar_t caption[1024];
        swprintf(caption, 1024, L"Ferrix (%d/%d)", i + 1, count);
        SetWindowTextW(progress.handle, caption);
        SetWindowTextW(fromText.handle, MakeSourceDisplayPath(rule, entry).c_str());
        SetWindowTextW(toText.handle, target.c_str());

        // A copy that fails, or that the guard refuses, is passed over like any other; so is one
        // whose target reaches a file of another name, and a source is deleted only when its copy
        // is under the target's own name.
        if (guard.MayCopy(i)) {
            if (rule.subfolderMode)
                CreateDirectoryPath(target);
            if (CopyToTarget(entry, target) && settings.deleteSource && guard.MayDelete(i) &&
                WhatPathReaches(target) == Reached::ItsOwnName && DeleteSource(entry))
                guard.SourceDeleted(i);
        }
        SendMessageW(bar.handle, PBM_SETPOS, i, 0);
    }
    if (!cancelRequested.load(std::memory_order_relaxed))
        SendMessageW(bar.handle, PBM_SETPOS, count, 0);

    // The user-interface thread may destroy the dialog and end the process from here on; only the
    // worker's own memory is released.
    progress.End(0);
    return 0;
}
