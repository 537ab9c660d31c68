#include "engine/CopyWorker.h"

#include "app/CopySettings.h"
#include "engine/CopyGuard.h"
#include "engine/CopyToTarget.h"
#include "engine/CreateDirectoryPath.h"
#include "engine/FileLister.h"
#include "engine/NamingRule.h"
#include "engine/PlatformPath.h"
#include "engine/SourceFile.h"
#include "framework/Dialog.h"
#include "ui/resources/Resource.h"

#include <commctrl.h>

#include <cwchar>
#include <string>
#include <vector>

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
        // whose target reaches a file of another name. A move holds its source from before the
        // copy and deletes it only when it is still the file copied, unchanged, and copied whole.
        if (guard.MayCopy(i)) {
            if (rule.subfolderMode)
                CreateDirectoryPath(target);
            const std::wstring from = PlatformPath(entry);
            if (!settings.deleteSource)
                CopyToTarget(from, target);
            else if (SourceFile held(from);
                     CopyToTarget(from, target) && guard.MayDelete(i) && held.DeleteIfCopiedTo(target))
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
