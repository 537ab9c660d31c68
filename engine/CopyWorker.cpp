#include "engine/CopyWorker.h"

#include "engine/CopyExecutor.h"
#include "engine/CopyPlan.h"
#include "engine/CreateDirectoryPath.h"
#include "engine/FileLister.h"
#include "engine/LiveFileSystem.h"
#include "engine/NamingRule.h"
#include "engine/PlatformPath.h"

#include <string>
#include <utility>
#include <vector>

DWORD CopyWorker(CopyProgress& progress, const std::atomic<bool>& cancelRequested, CopySettings settings)
{
    const NamingRule rule = MakeNamingRule(settings.source, settings.destination, settings.separator);
    if (settings.mask.empty())
        settings.mask = L"*";
    FileLister lister;
    lister.sourceFolder = settings.source;
    // When the destination lies below the listing's start, its own files are this run's results
    // and are left out.
    lister.destination = PlatformPath(rule.destinationPrefix);
    lister.ListFiles(settings.mask);
    const std::vector<std::wstring>& files = lister.FileList;
    const int count = static_cast<int>(files.size());
    LiveFileSystem fileSystem;
    CopyPlan plan(rule, lister, settings.deleteSource, fileSystem);
    CopyExecutor executor(lister);

    RunReport report;
    report.listed = files.size();
    report.move = settings.deleteSource;
    for (size_t folder = 0; folder < lister.Folders.size(); ++folder) {
        if (!lister.Folders[folder].read)
            report.unreadFolders.push_back(lister.FolderList[folder]);
    }

    progress.ShowCopying();
    progress.SetRange(count);
    progress.SetPosition(0);
    CreateDirectoryPath(rule.destinationPrefix); // a destination that cannot be made fails every copy

    // cancelRequested: only the user-interface thread writes it, once from false to true; no
    // other data comes with it, so a relaxed read that sees the change soon is enough.
    for (int i = 0; i < count && !cancelRequested.load(std::memory_order_relaxed); ++i) {
        const std::wstring& entry = files[i];
        progress.ShowFile(i + 1, count, MakeSourceDisplayPath(rule, entry), MakeTargetPath(rule, entry));
        const CopyExecutor::Outcome outcome = executor.CarryOut(plan.Decide(i), lister.FileFolders[i]);
        if (outcome.sourceGone)
            plan.SourceGone(i);
        if (outcome.shortfall)
            report.passedOver.push_back({entry, *outcome.shortfall});
        progress.SetPosition(i);
    }
    if (!cancelRequested.load(std::memory_order_relaxed))
        progress.SetPosition(count);

    // Whoever shows the progress may end the process from here on; only the worker's own memory is
    // released.
    progress.Finish(std::move(report));
    return 0;
}
