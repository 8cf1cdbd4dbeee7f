#include "app/core/FormatText.h"

#include <cwchar>
#include <memory>
#include <new>

namespace {

// Runtimes disagree on what a too-small buffer holds after vswprintf (glibc
// fails, the Windows runtime may leave it unterminated), so on any failure the
// text is formatted again into scratch space large enough to take it whole.
constexpr size_t kLargestScratch = size_t{1} << 20;

bool FormatInto(wchar_t* out, size_t capacity, const wchar_t* format, va_list args) {
    va_list copy;
    va_copy(copy, args);
    // NOLINTNEXTLINE(clang-analyzer-valist.Uninitialized): copy of the caller's started list
    const int written = std::vswprintf(out, capacity, format, copy);
    va_end(copy);
    return written >= 0 && static_cast<size_t>(written) < capacity;
}

}  // namespace

uint32_t FormatTextV(wchar_t* buffer, size_t capacity, const wchar_t* format, va_list args) {
    if (capacity == 0 || capacity > kFormatMaxCapacity) return kFormatInvalidArgument;
    if (FormatInto(buffer, capacity, format, args)) return kFormatOk;

    size_t kept = 0;
    for (size_t scratchSize = capacity * 2; scratchSize <= kLargestScratch; scratchSize *= 2) {
        std::unique_ptr<wchar_t[]> scratch(new (std::nothrow) wchar_t[scratchSize]);
        if (!scratch) break;
        if (FormatInto(scratch.get(), scratchSize, format, args)) {
            const size_t length = std::wcslen(scratch.get());
            kept = length < capacity - 1 ? length : capacity - 1;
            std::wmemcpy(buffer, scratch.get(), kept);
            break;
        }
    }
    buffer[kept] = L'\0';
    return kFormatTruncated;
}

uint32_t FormatText(wchar_t* buffer, size_t capacity, const wchar_t* format, ...) {
    va_list args;
    va_start(args, format);
    const uint32_t result = FormatTextV(buffer, capacity, format, args);
    va_end(args);
    return result;
}
