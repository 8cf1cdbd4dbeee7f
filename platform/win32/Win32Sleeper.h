// The turnaround pause as the system's own Sleep.
#pragma once

#include "device/Sleeper.h"
#include "platform/win32/Win32Api.h"

class Win32Sleeper final : public Sleeper {
public:
    explicit Win32Sleeper(Win32Api& api) : api(api) {}
    void Sleep(uint32_t milliseconds) override { api.Sleep(milliseconds); }

private:
    Win32Api& api;
};
