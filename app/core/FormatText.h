// Bounded wide-character formatting that always terminates its buffer.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>

constexpr uint32_t kFormatOk = 0;
constexpr uint32_t kFormatInvalidArgument = 0x80070057u;
constexpr uint32_t kFormatTruncated = 0x8007007Au;
constexpr size_t kFormatMaxCapacity = 0x7FFFFFFF;

// Writes at most capacity - 1 characters and a terminator. Capacity 0 or above
// kFormatMaxCapacity writes nothing and gives kFormatInvalidArgument; text that
// does not fit, or a formatting error, leaves the leading part and gives kFormatTruncated.
uint32_t FormatText(wchar_t* buffer, size_t capacity, const wchar_t* format, ...);
uint32_t FormatTextV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args);
