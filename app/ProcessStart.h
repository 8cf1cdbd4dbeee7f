// What the process settles first, before anything loads a DLL or touches a drive.
#pragma once

#include "app/DllSearch.h"

// No system box for a drive without a disc, and no DLL from the current directory.
DllSearch PrepareProcess();
