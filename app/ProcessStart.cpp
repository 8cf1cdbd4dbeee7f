#include "app/ProcessStart.h"

#include <windows.h>

// The drive scan reads sector 0 of every drive: an empty card reader or disc drive would
// otherwise make Windows ask for a disc, once per drive and scan.
DllSearch PrepareProcess() {
    SetErrorMode(SEM_FAILCRITICALERRORS);
    return RestrictDllSearch();
}
