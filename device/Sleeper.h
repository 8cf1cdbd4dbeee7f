// Blocks the calling thread for a while; tests count the pauses instead.
#pragma once

#include <cstdint>
#include <vector>

class Sleeper {
public:
    virtual void Sleep(uint32_t milliseconds) = 0;

protected:
    ~Sleeper() = default;
};

// Keeps every pause asked for, and takes it through another sleeper when given one.
class CountingSleeper final : public Sleeper {
public:
    explicit CountingSleeper(Sleeper* inner = nullptr) : inner(inner) {}
    void Sleep(uint32_t milliseconds) override {
        pauses.push_back(milliseconds);
        if (inner != nullptr) inner->Sleep(milliseconds);
    }

    std::vector<uint32_t> pauses;

private:
    Sleeper* inner;
};
