#include "engine/FolderReader.h"

#include <atomic>

namespace {

// Windows before 8 and Wine have no 128-bit ids in a listing; once refused, the 64-bit ones serve.
std::atomic<bool> extendedIdsRefused = false;

// The next batch of entries into `buffer`; false at the end or on a failure, which the last error tells.
bool NextBatch(HANDLE folder, bool extended, bool first, std::vector<std::uint64_t>& buffer)
{
    const FILE_INFO_BY_HANDLE_CLASS kind = extended ? (first ? FileIdExtdDirectoryRestartInfo : FileIdExtdDirectoryInfo)
                                                    : (first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo);
    return GetFileInformationByHandleEx(folder, kind, buffer.data(),
                                        static_cast<DWORD>(buffer.size() * sizeof buffer[0])) != FALSE;
}

template <typename Info>
void Take(const Info& info, std::optional<std::uint64_t> volume, std::vector<FolderReader::Entry>& entries)
{
    std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
    if (name == L"." || name == L"..")
        return;
    entries.push_back({std::move(name), info.FileAttributes,
                       volume ? ListedFileId(*volume, info.FileId) : std::nullopt});
}

} // namespace

FolderReader::FolderReader(const std::wstring& path)
    : folder(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS, nullptr))
{
}

bool FolderReader::ReadAll(std::optional<std::uint64_t> volume, std::vector<Entry>& entries)
{
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t)); // aligned for every entry's fields
    bool extended = !extendedIdsRefused.load(std::memory_order_relaxed);
    bool first = true;
    for (;;) {
        if (!NextBatch(folder.Get(), extended, first, buffer)) {
            const DWORD error = GetLastError();
            if (extended && first && IsClassRefusal(error)) {
                extendedIdsRefused.store(true, std::memory_order_relaxed);
                extended = false;
                continue;
            }
            // A first read of a folder without entries (a drive's empty root) finds no file.
            return error == ERROR_NO_MORE_FILES || (first && error == ERROR_FILE_NOT_FOUND);
        }
        first = false;
        const auto* at = reinterpret_cast<const char*>(buffer.data());
        for (;;) {
            DWORD next;
            if (extended) {
                const auto& info = *reinterpret_cast<const FILE_ID_EXTD_DIR_INFO*>(at);
                Take(info, volume, entries);
                next = info.NextEntryOffset;
            } else {
                const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(at);
                Take(info, volume, entries);
                next = info.NextEntryOffset;
            }
            if (next == 0)
                break;
            at += next;
        }
    }
}
