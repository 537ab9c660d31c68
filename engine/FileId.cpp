#include "engine/FileId.h"

#include "engine/FileHandle.h"

#include <algorithm>
#include <cstring>

namespace {

// 0 and all ones say that the file system gives no id (for a 64-bit id widened, all ones in its
// low 8 bytes).
std::optional<FileId> Known(std::uint64_t volume, const std::array<std::uint8_t, 16>& file)
{
    const auto all = [&file](size_t from, size_t to, std::uint8_t value) {
        return std::all_of(file.begin() + from, file.begin() + to, [value](std::uint8_t byte) { return byte == value; });
    };
    if (all(0, 16, 0) || all(0, 16, 0xFF) || (all(0, 8, 0xFF) && all(8, 16, 0)))
        return std::nullopt;
    return FileId{volume, file};
}

} // namespace

std::optional<FileId> ReadFileId(HANDLE opened)
{
    FILE_ID_INFO full;
    if (GetFileInformationByHandleEx(opened, FileIdInfo, &full, sizeof full))
        return ListedFileId(full.VolumeSerialNumber, full.FileId);
    BY_HANDLE_FILE_INFORMATION classic;
    if (!GetFileInformationByHandle(opened, &classic))
        return std::nullopt;
    LARGE_INTEGER index;
    index.QuadPart = static_cast<LONGLONG>((std::uint64_t{classic.nFileIndexHigh} << 32) | classic.nFileIndexLow);
    return ListedFileId(classic.dwVolumeSerialNumber, index);
}

std::optional<FileId> ReadFileId(const std::wstring& path)
{
    // Only the attributes are read, and every sharing is granted: no other program is hindered.
    const FileHandle opened(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!opened.IsOpen())
        return std::nullopt;
    return ReadFileId(opened.Get());
}

std::optional<FileId> ListedFileId(std::uint64_t volume, const FILE_ID_128& id)
{
    std::array<std::uint8_t, 16> file;
    std::memcpy(file.data(), id.Identifier, file.size());
    return Known(volume, file);
}

std::optional<FileId> ListedFileId(std::uint64_t volume, LARGE_INTEGER id)
{
    std::array<std::uint8_t, 16> file{};
    const auto value = static_cast<std::uint64_t>(id.QuadPart);
    for (size_t byte = 0; byte < 8; ++byte)
        file[byte] = static_cast<std::uint8_t>(value >> (8 * byte));
    return Known(volume, file);
}
