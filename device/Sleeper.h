// Blocks the calling thread for a while; tests count the pauses instead.
#pragma once

#include <cstdint>

class Sleeper {
public:
    virtual void Sleep(uint32_t milliseconds) = 0;

protected:
    ~Sleeper() = default;
};
