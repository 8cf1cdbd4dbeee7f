// An open file descriptor, closed once.
#pragma once

#include <unistd.h>

#include "platform/ScopedHandle.h"

using FileDescriptor = ScopedHandle<CloseWith<int, &close, -1>>;
