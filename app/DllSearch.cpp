#include "app/DllSearch.h"

#include <windows.h>

namespace {

// Not in the headers of the oldest Windows the program targets.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);

// Older systems lack the calls, so they are looked up rather than imported.
template <typename Function>
Function Kernel32Function(const char* name) {
    const HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(kernel, name)));
}

}  // namespace

// A DLL planted beside a downloaded program or in the current directory must never load in
// place of the system's. Static imports are the loader's business; this covers every load
// by name after start, including those the system DLLs make on the program's behalf.
DllSearch RestrictDllSearch() {
    const auto setDefault =
        Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(kLoadLibrarySearchSystem32)) {
        return DllSearch::SystemDirectoryOnly;
    }
    const auto setDirectory = Kernel32Function<SetDllDirectoryFunction>("SetDllDirectoryW");
    if (setDirectory != nullptr && setDirectory(L"")) return DllSearch::NoCurrentDirectory;
    return DllSearch::Unchanged;
}
