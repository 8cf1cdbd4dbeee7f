// Keeps the DLLs the program loads at run time out of the current directory.
#pragma once

enum class DllSearch {
    SystemDirectoryOnly,  // SetDefaultDllDirectories: Windows 8, or 7 and Vista with KB2533623
    NoCurrentDirectory,   // SetDllDirectoryW(L""): Windows XP SP1 and later
    Unchanged,            // neither call exists
};

// Called first thing at start, before anything loads a DLL by name.
DllSearch RestrictDllSearch();
