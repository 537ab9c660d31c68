#include "ui/ClosingMessage.h"

namespace {

// The files named one by one; the rest are counted.
constexpr size_t namedFiles = 10;

const wchar_t* InPlainWords(RunReport::Reason reason)
{
    using Reason = RunReport::Reason;
    switch (reason) {
    case Reason::ReservedName:
        return L"Windows reserves this name";
    case Reason::UnusableName:
        return L"Windows cannot give a file this name";
    case Reason::OutsideDestination:
        return L"it would be written outside the destination";
    case Reason::WouldOverwriteSource:
        return L"it would overwrite another file being gathered";
    case Reason::BehindLink:
        return L"it lies behind a folder link, so it was copied and kept";
    case Reason::SameTargetLater:
        return L"a later file went to the same name, so it was kept";
    case Reason::FolderChanged:
        return L"its folder changed after it was listed";
    case Reason::FolderNotMade:
        return L"its folder could not be made in the destination";
    case Reason::ReadOnlyTarget:
        return L"a read-only file of that name is in the destination";
    case Reason::TargetIsFolder:
        return L"a folder of that name is in the destination";
    case Reason::TargetHasOtherName:
        return L"its name in the destination is another file's short name";
    case Reason::TargetInUse:
        return L"the file of that name in the destination is in use";
    case Reason::DiskFull:
        return L"the destination disk is full";
    case Reason::NameTooLong:
        return L"its name is too long for the destination";
    case Reason::SourceUnreadable:
        return L"it could not be read";
    case Reason::CopyFailed:
        return L"it could not be copied";
    case Reason::ChangedAfterCopy:
        return L"it changed after it was copied";
    case Reason::NotDeleted:
        return L"it could not be deleted";
    }
    return L"it could not be copied";
}

// The folders that could not be read, each on a line of its own; "" is the source folder itself.
std::wstring UnreadFolders(const RunReport& report, const std::wstring& source)
{
    if (report.unreadFolders.empty())
        return {};
    std::wstring text = report.unreadFolders.size() == 1 ? L"\n\nThis folder could not be read:"
                                                          : L"\n\nThese folders could not be read:";
    for (const std::wstring& folder : report.unreadFolders)
        text += L"\n" + (folder.empty() ? source : folder);
    return text;
}

} // namespace

std::wstring ClosingMessage(const RunReport& report, const std::wstring& source, const std::wstring& mask)
{
    if (report.listed == 0)
        return L"No file in " + source + L" matches " + mask + L"." + UnreadFolders(report, source);
    if (report.passedOver.empty() && report.unreadFolders.empty())
        return {};
    std::wstring text;
    if (!report.passedOver.empty()) {
        const size_t count = report.passedOver.size();
        text = std::to_wstring(count) + L" of " + std::to_wstring(report.listed) + L" files " +
               (count == 1 ? L"was" : L"were") + (report.move ? L" not moved:\n" : L" not copied:\n");
        for (size_t index = 0; index < count && index < namedFiles; ++index)
            text += L"\n" + report.passedOver[index].entry + L": " + InPlainWords(report.passedOver[index].reason);
        if (count > namedFiles)
            text += L"\nand " + std::to_wstring(count - namedFiles) + L" more.";
    } else {
        text = L"Every file listed was " + std::wstring(report.move ? L"moved." : L"copied.");
    }
    return text + UnreadFolders(report, source);
}
