#include "tests/ui/ResourceReader.h"

#include <algorithm>
#include <stdexcept>

uint8_t ResourceReader::Byte()
{
    return static_cast<uint8_t>(Bytes(1)[0]);
}

uint16_t ResourceReader::Word()
{
    const std::string_view field = Bytes(2);
    return static_cast<uint16_t>(static_cast<uint8_t>(field[0]) | static_cast<uint8_t>(field[1]) << 8);
}

uint32_t ResourceReader::Dword()
{
    const uint32_t low = Word();
    return low | static_cast<uint32_t>(Word()) << 16;
}

std::wstring ResourceReader::String()
{
    std::wstring text;
    while (const uint16_t unit = Word())
        text += static_cast<wchar_t>(unit);
    return text;
}

std::string_view ResourceReader::Bytes(size_t count)
{
    if (count > bytes.size() - offset)
        throw std::runtime_error("resource ends at byte " + std::to_string(bytes.size()) + ", read of " +
                                 std::to_string(count) + " at " + std::to_string(offset));
    const std::string_view field = bytes.substr(offset, count);
    offset += count;
    return field;
}

void ResourceReader::AlignToDword()
{
    // The last field of a resource need not be followed by padding.
    offset = std::min((offset + 3) & ~size_t(3), bytes.size());
}

void ResourceReader::Seek(size_t position)
{
    if (position > bytes.size())
        throw std::runtime_error("seek to " + std::to_string(position) + " past the resource's " +
                                 std::to_string(bytes.size()) + " bytes");
    offset = position;
}
