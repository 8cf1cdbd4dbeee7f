// Owners for GDI resources: one class per handle kind, each closing its handle once.
#pragma once

#include <windows.h>

#include <utility>

// A pen, brush, font, bitmap or region; deleted with DeleteObject.
template <typename Handle>
class GdiObject {
public:
    GdiObject() = default;
    explicit GdiObject(Handle handle) : handle(handle) {}
    ~GdiObject() { Reset(); }
    GdiObject(GdiObject&& other) noexcept : handle(std::exchange(other.handle, nullptr)) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) {
            Reset();
            handle = std::exchange(other.handle, nullptr);
        }
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    void Reset() {
        if (Handle old = std::exchange(handle, nullptr)) DeleteObject(old);
    }

private:
    Handle handle = nullptr;
};

// A memory device context compatible with another; deleted with DeleteDC.
class MemoryDc {
public:
    explicit MemoryDc(HDC compatibleWith) : dc(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDc() {
        if (dc != nullptr) DeleteDC(dc);
    }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;

    HDC Get() const { return dc; }
    explicit operator bool() const { return dc != nullptr; }

private:
    HDC dc;
};

// A device context's state (selected objects, colours, modes, clipping) for one scope.
// Declared after the objects it selects, so it restores before they are deleted.
class SavedDcState {
public:
    explicit SavedDcState(HDC dc) : dc(dc), saved(SaveDC(dc)) {}
    ~SavedDcState() {
        if (saved != 0) RestoreDC(dc, saved);
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

private:
    HDC dc;
    int saved;
};

using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using RegionHandle = GdiObject<HRGN>;
