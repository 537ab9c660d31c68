// Reads little-endian fields from the bytes of one resource, with bounds checks; a read past
// the end throws std::runtime_error, so a malformed resource fails the test that reads it.
// Borrows the bytes: they belong to the loaded module and must outlive the reader.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

class ResourceReader {
public:
    explicit ResourceReader(std::string_view bytes) : bytes(bytes) {}

    uint8_t Byte();
    uint16_t Word();
    uint32_t Dword();
    int16_t Short() { return static_cast<int16_t>(Word()); }
    // A zero-terminated UTF-16 string; the terminator is consumed, not returned.
    std::wstring String();
    std::string_view Bytes(size_t count);
    // Skips to the next multiple of four from the start of the resource, or to its end.
    void AlignToDword();

    size_t Offset() const { return offset; }
    void Seek(size_t position);
    bool AtEnd() const { return offset >= bytes.size(); }

private:
    std::string_view bytes;
    size_t offset = 0;
};
