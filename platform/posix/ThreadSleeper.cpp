#include <chrono>
#include <thread>

#include "device/Sleeper.h"
#include "platform/SystemDevices.h"

namespace {

class ThreadSleeper final : public Sleeper {
public:
    void Sleep(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

}  // namespace

Sleeper& SystemSleeper() {
    static ThreadSleeper sleeper;
    return sleeper;
}
