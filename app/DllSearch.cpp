#include "app/DllSearch.h"

#include <windows.h>

#include "platform/win32/SystemFunction.h"

namespace {

// Not in the headers of the oldest Windows the program targets.
constexpr DWORD kLoadLibrarySearchSystem32 = 0x00000800;

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);

}  // namespace

// A DLL planted beside a downloaded program or in the current directory must never load in
// place of the system's. Static imports are the loader's business; this covers every load
// by name after start, including those the system DLLs make on the program's behalf.
DllSearch RestrictDllSearch() {
    const auto setDefault = OptionalSystemFunction<SetDefaultDllDirectoriesFunction>(
        L"kernel32.dll", "SetDefaultDllDirectories");
    if (setDefault != nullptr && setDefault(kLoadLibrarySearchSystem32)) {
        return DllSearch::SystemDirectoryOnly;
    }
    const auto setDirectory =
        OptionalSystemFunction<SetDllDirectoryFunction>(L"kernel32.dll", "SetDllDirectoryW");
    if (setDirectory != nullptr && setDirectory(L"")) return DllSearch::NoCurrentDirectory;
    return DllSearch::Unchanged;
}
