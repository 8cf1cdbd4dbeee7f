// Owns the kernel handle of a sector channel and closes it once, through the call seam.
#pragma once

#include <utility>

#include "platform/win32/Win32Api.h"

class ChannelHandle {
public:
    ChannelHandle(Win32Api& api, HANDLE handle) : api(api), handle(handle) {}
    ~ChannelHandle() {
        if (handle != INVALID_HANDLE_VALUE) api.CloseHandle(handle);
    }
    ChannelHandle(ChannelHandle&& other) noexcept
        : api(other.api), handle(std::exchange(other.handle, INVALID_HANDLE_VALUE)) {}
    ChannelHandle(const ChannelHandle&) = delete;
    ChannelHandle& operator=(const ChannelHandle&) = delete;
    ChannelHandle& operator=(ChannelHandle&&) = delete;

    HANDLE Get() const { return handle; }
    bool IsValid() const { return handle != INVALID_HANDLE_VALUE; }

private:
    Win32Api& api;
    HANDLE handle;
};
