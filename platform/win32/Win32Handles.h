// Every kind of Windows handle the program owns, each closed once by the one right call.
#pragma once

#include <windows.h>

#include "platform/ScopedHandle.h"
#include "platform/win32/Win32Api.h"

// Files and devices: CreateFileW answers INVALID_HANDLE_VALUE when it fails.
struct CloseFile : CloseWith<HANDLE, &CloseHandle> {
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
};
using FileHandle = ScopedHandle<CloseFile>;
// Mappings, mutexes and the other kernel objects, null when they fail.
using KernelHandle = ScopedHandle<CloseWith<HANDLE, &CloseHandle>>;
// A view of a file mapping.
using FileView = ScopedHandle<CloseWith<const void*, &UnmapViewOfFile>>;
using DeviceNotificationHandle = ScopedHandle<CloseWith<HDEVNOTIFY, &UnregisterDeviceNotification>>;
using MenuHandle = ScopedHandle<CloseWith<HMENU, &DestroyMenu>>;

// A pen, brush, font, bitmap or region.
template <typename Object>
using GdiObject = ScopedHandle<CloseWith<Object, &DeleteObject>>;
using BitmapHandle = GdiObject<HBITMAP>;
using FontHandle = GdiObject<HFONT>;
using RegionHandle = GdiObject<HRGN>;
// A memory device context from CreateCompatibleDC.
using MemoryDc = ScopedHandle<CloseWith<HDC, &DeleteDC>>;

// A sector channel's handle, closed through the kernel call seam that opened it.
struct CloseThroughApi {
    using Handle = HANDLE;
    // Not explicit: a channel's handle is made as (api, handle).
    CloseThroughApi(Win32Api& api) : api(&api) {}
    static Handle Empty() { return INVALID_HANDLE_VALUE; }
    void operator()(Handle handle) const { api->CloseHandle(handle); }
    Win32Api* api;
};
using ChannelHandle = ScopedHandle<CloseThroughApi>;

// A device context's state (selected objects, colours, modes, clipping) for one scope.
// Declared after the objects it selects, so it restores before they are deleted.
struct RestoreDcState {
    using Handle = int;  // SaveDC's answer, 0 when it failed
    static Handle Empty() { return 0; }
    void operator()(Handle saved) const { RestoreDC(dc, saved); }
    HDC dc;
};
using SavedDcState = ScopedHandle<RestoreDcState>;
inline SavedDcState SaveDcState(HDC dc) {
    return SavedDcState(RestoreDcState{dc}, SaveDC(dc));
}
