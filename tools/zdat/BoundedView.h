// Reads fixed-width fields of untrusted bytes, refusing anything that passes their end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "device/ByteOrder.h"

class BoundedView {
public:
    BoundedView(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}

    uint64_t Size() const { return size; }

    // 64-bit so that offset + length cannot wrap for any 32-bit inputs.
    bool Contains(uint64_t offset, uint64_t length) const {
        return offset <= size && length <= size - offset;
    }

    std::optional<uint32_t> Le32(uint64_t offset) const {
        if (!Contains(offset, 4)) return std::nullopt;
        return LoadLe32(bytes + offset);
    }

    // Null unless [offset, offset + length) lies inside.
    const uint8_t* At(uint64_t offset, uint64_t length) const {
        return Contains(offset, length) ? bytes + offset : nullptr;
    }

private:
    const uint8_t* bytes;
    size_t size;
};
