// An extended dialog template (DLGTEMPLATEEX) read back from its resource bytes, so that tests
// compare what the resource compiler really wrote. A plain value; it owns copies of all texts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct DialogTemplate {
    // A field that is either absent (0 and empty), a numeric ordinal or a name.
    struct NameOrOrdinal {
        uint16_t ordinal = 0;
        std::wstring name;
    };

    struct Item {
        uint32_t helpId = 0;
        uint32_t exStyle = 0;
        uint32_t style = 0;
        int16_t x = 0, y = 0, cx = 0, cy = 0;
        uint32_t id = 0;
        NameOrOrdinal windowClass;
        NameOrOrdinal text;
        uint16_t creationDataSize = 0;
    };

    uint16_t version = 0;
    uint16_t signature = 0;
    uint32_t helpId = 0;
    uint32_t exStyle = 0;
    uint32_t style = 0;
    int16_t x = 0, y = 0, cx = 0, cy = 0;
    NameOrOrdinal menu;
    NameOrOrdinal windowClass;
    std::wstring title;
    // Present only with DS_SETFONT (DS_SHELLFONT includes it).
    uint16_t pointSize = 0;
    uint16_t weight = 0;
    uint8_t italic = 0;
    uint8_t charSet = 0;
    std::wstring typeface;
    std::vector<Item> items;

    // Throws std::runtime_error when the bytes are not a complete extended template.
    static DialogTemplate Read(std::string_view bytes);
};
