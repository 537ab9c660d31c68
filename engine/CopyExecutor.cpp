#include "engine/CopyExecutor.h"

#include "engine/CopyToTarget.h"
#include "engine/CreateDirectoryPath.h"
#include "engine/SourceFile.h"

CopyExecutor::Outcome CopyExecutor::CarryOut(const CopyStep& step, std::uint32_t folder)
{
    using Action = CopyStep::Action;
    using Reason = RunReport::Reason;
    switch (step.action) {
    case Action::PassOver:
        return {step.reason};
    case Action::InPlace:
        return {};
    case Action::Copy:
    case Action::CopyAndKeep:
    case Action::Move:
        break;
    }
    const bool move = step.action == Action::Move;
    if (move && !heldFolder.IsAsListed(listing, folder))
        return {Reason::FolderChanged};
    // A folder that cannot be made shows as the copy into it failing.
    if (step.makeFolders)
        CreateDirectoryPath(step.to);
    // Held from before the copy, so that the file deleted is the one copied.
    std::optional<SourceFile> held;
    if (move)
        held.emplace(step.from);
    if (const std::optional<Reason> failed = CopyToTarget(step.from, step.to))
        return {failed};
    if (step.action == Action::CopyAndKeep)
        return {step.reason};
    if (!move)
        return {};
    switch (held->DeleteIfCopiedTo(step.to)) {
    case SourceFile::Deletion::Gone:
        return {std::nullopt, true};
    case SourceFile::Deletion::Pending:
        return {}; // it goes once the other program lets go; until then its name stays taken
    case SourceFile::Deletion::Changed:
        return {Reason::ChangedAfterCopy};
    case SourceFile::Deletion::Kept:
        break;
    }
    return {Reason::NotDeleted};
}
