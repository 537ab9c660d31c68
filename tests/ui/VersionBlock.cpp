#include "tests/ui/VersionBlock.h"

#include "tests/ui/ResourceReader.h"

#include <stdexcept>

namespace {

VersionBlock ReadBlock(ResourceReader& reader)
{
    const size_t start = reader.Offset();
    const uint16_t length = reader.Word();
    VersionBlock block;
    block.valueLength = reader.Word();
    block.type = reader.Word();
    block.key = reader.String();
    reader.AlignToDword();
    block.value = reader.Bytes(block.type == 1 ? 2 * size_t(block.valueLength) : block.valueLength);
    // The length need not count the padding after the block's last field.
    const size_t end = start + length;
    reader.AlignToDword();
    while (reader.Offset() < end) {
        block.children.push_back(ReadBlock(reader));
        reader.AlignToDword();
    }
    if (reader.Offset() > ((end + 3) & ~size_t(3)))
        throw std::runtime_error("version block \"" + std::string(block.key.begin(), block.key.end()) +
                                 "\" holds more than its length");
    return block;
}

} // namespace

std::wstring VersionBlock::Text() const
{
    std::wstring text;
    for (size_t index = 0; index + 1 < value.size(); index += 2) {
        const wchar_t unit = static_cast<wchar_t>(static_cast<uint8_t>(value[index]) |
                                                  static_cast<uint8_t>(value[index + 1]) << 8);
        if (unit == 0)
            break;
        text += unit;
    }
    return text;
}

VersionBlock VersionBlock::Read(std::string_view bytes)
{
    ResourceReader reader(bytes);
    return ReadBlock(reader);
}
