#include "engine/CopyWorker.h"

#include "app/CopySettings.h"
#include "engine/CopyGuard.h"
#include "engine/CopyToTarget.h"
#include "engine/CreateDirectoryPath.h"
#include "engine/FileId.h"
#include "engine/FileLister.h"
#include "engine/NamingRule.h"
#include "engine/PlatformPath.h"
#include "engine/SourceFile.h"
#include "framework/Dialog.h"
#include "ui/resources/Resource.h"

#include <commctrl.h>

#include <cstdint>
#include <cwchar>
#include <optional>
#include <string>
#include <vector>

namespace {

// In a move, the folder whose files are being moved, held open from its first file to its last so
// that it cannot be renamed or replaced meanwhile (Windows refuses to rename a folder held open
// without shared deletion, and any folder above it), and whether it is still the folder that the
// listing saw: a folder swapped for a link after the listing leads elsewhere, to files nobody
// named, and none of them may be taken. A copy leaves every source where it is and does without.
class HeldFolder {
public:
    HeldFolder() = default;
    ~HeldFolder() { Release(); }
    HeldFolder(const HeldFolder&) = delete;
    HeldFolder& operator=(const HeldFolder&) = delete;

    bool IsAsListed(const FileLister& listing, std::uint32_t folder)
    {
        if (held == folder)
            return asListed;
        Release();
        held = folder;
        handle = CreateFileW(listing.LiteralPath(listing.FolderList[folder]).c_str(),
                             FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        asListed = handle != INVALID_HANDLE_VALUE && ReadFileId(handle) == listing.FolderIds[folder];
        return asListed;
    }

private:
    void Release()
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
    }

    std::uint32_t held = UINT32_MAX; // no folder yet
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool asListed = false;
};

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
    // The destination's identity, read before the listing: when it lies below the listing's
    // start, its own files are this run's results and are left out.
    const std::optional<FileId> destinationId = ReadFileId(PlatformPath(rule.destinationPrefix));
    FileLister lister;
    lister.sourceFolder = source;
    lister.excludedFolder = destinationId;
    lister.ListFiles(mask);
    const std::vector<std::wstring>& files = lister.FileList;
    const int count = static_cast<int>(files.size());
    CopyGuard guard(rule, lister, destinationId);
    HeldFolder folder;

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
        // whose target reaches a file of another name. The source is reached by its literal path,
        // the names as the listing found them; the copy goes where the naming puts it, in folders
        // made for it. A move holds its source from before the copy and deletes it only when it is
        // still the file copied, unchanged, and copied whole.
        if (guard.MayCopy(i) && (!settings.deleteSource || folder.IsAsListed(lister, lister.FileFolders[i]))) {
            const std::wstring copyPath = MakeCopyPath(rule, entry);
            const std::wstring from = lister.LiteralPath(entry);
            if (rule.subfolderMode)
                CreateDirectoryPath(copyPath);
            if (!settings.deleteSource)
                CopyToTarget(from, copyPath);
            else if (SourceFile held(from);
                     CopyToTarget(from, copyPath) && guard.MayDelete(i) && held.DeleteIfCopiedTo(copyPath))
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
