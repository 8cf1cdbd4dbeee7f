// Upper-case hexadecimal text for ids, offsets and bytes, without printf's
// platform differences for 64-bit arguments.
#pragma once

#include <cstdint>
#include <string>

// "0x" and at least minDigits digits: ids and offsets read alike in every message.
inline std::string HexText(uint64_t value, int minDigits = 8) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    if (static_cast<int>(digits.size()) < minDigits)
        digits.insert(0, minDigits - digits.size(), '0');
    return "0x" + digits;
}

inline std::string ByteText(uint8_t value) {
    return HexText(value, 2).substr(2);
}
