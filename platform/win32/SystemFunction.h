// Calls that not every supported Windows has: looked up at run time rather than imported, so
// the program still starts where they are missing.
#pragma once

#include <windows.h>

// The export of a DLL the process has loaded already; null where either is missing.
template <typename Function>
Function OptionalSystemFunction(const wchar_t* module, const char* name) {
    const HMODULE loaded = GetModuleHandleW(module);
    if (loaded == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(loaded, name)));
}
