// One block of a version resource (VS_VERSIONINFO and everything below it) read back from its
// bytes, so that tests see the order of the blocks, which VerQueryValueW does not show.
// A plain value tree; it owns copies of keys and values.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct VersionBlock {
    std::wstring key;
    uint16_t type = 0;          // 1: the value is text, 0: binary
    uint16_t valueLength = 0;   // as stored: characters for text, bytes for binary
    std::string value;          // the value's bytes
    std::vector<VersionBlock> children;

    // The value as text, up to its terminator.
    std::wstring Text() const;

    // Throws std::runtime_error when the bytes do not hold a complete block.
    static VersionBlock Read(std::string_view bytes);
};
