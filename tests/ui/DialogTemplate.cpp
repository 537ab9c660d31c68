#include "tests/ui/DialogTemplate.h"

#include "tests/ui/ResourceReader.h"

#include <windows.h>

#include <stdexcept>

namespace {

// The dialog and its items store their place in dialog units the same way.
template <typename Placed>
void ReadPlace(ResourceReader& reader, Placed& placed)
{
    placed.x = reader.Short();
    placed.y = reader.Short();
    placed.cx = reader.Short();
    placed.cy = reader.Short();
}

DialogTemplate::NameOrOrdinal ReadNameOrOrdinal(ResourceReader& reader)
{
    DialogTemplate::NameOrOrdinal field;
    const size_t start = reader.Offset();
    const uint16_t first = reader.Word();
    if (first == 0xFFFF) {
        field.ordinal = reader.Word();
    } else if (first != 0) {
        reader.Seek(start);
        field.name = reader.String();
    }
    return field;
}

} // namespace

DialogTemplate DialogTemplate::Read(std::string_view bytes)
{
    ResourceReader reader(bytes);
    DialogTemplate dialog;
    dialog.version = reader.Word();
    dialog.signature = reader.Word();
    if (dialog.version != 1 || dialog.signature != 0xFFFF)
        throw std::runtime_error("not an extended dialog template");
    dialog.helpId = reader.Dword();
    dialog.exStyle = reader.Dword();
    dialog.style = reader.Dword();
    const uint16_t count = reader.Word();
    ReadPlace(reader, dialog);
    dialog.menu = ReadNameOrOrdinal(reader);
    dialog.windowClass = ReadNameOrOrdinal(reader);
    dialog.title = reader.String();
    if (dialog.style & DS_SETFONT) {
        dialog.pointSize = reader.Word();
        dialog.weight = reader.Word();
        dialog.italic = reader.Byte();
        dialog.charSet = reader.Byte();
        dialog.typeface = reader.String();
    }
    for (uint16_t index = 0; index < count; ++index) {
        reader.AlignToDword();
        Item item;
        item.helpId = reader.Dword();
        item.exStyle = reader.Dword();
        item.style = reader.Dword();
        ReadPlace(reader, item);
        item.id = reader.Dword();
        item.windowClass = ReadNameOrOrdinal(reader);
        item.text = ReadNameOrOrdinal(reader);
        item.creationDataSize = reader.Word();
        reader.Bytes(item.creationDataSize);
        dialog.items.push_back(item);
    }
    return dialog;
}
