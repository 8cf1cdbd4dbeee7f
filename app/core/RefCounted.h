// The counted-object base: the layout and contract of COM's IUnknown.
#pragma once

#include <cstdint>

struct InterfaceId {
    uint32_t data1;
    uint16_t data2;
    uint16_t data3;
    uint8_t data4[8];
};
static_assert(sizeof(InterfaceId) == 16, "an interface id is 16 bytes");

// {00000000-0000-0000-C000-000000000046}
extern const InterfaceId kIidUnknown;

constexpr int32_t kResultOk = 0;
constexpr int32_t kResultNoInterface = static_cast<int32_t>(0x80004002u);

class RefCounted {
public:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    virtual int32_t QueryInterface(const InterfaceId& iid, void** object);
    virtual int32_t AddRef();
    virtual int32_t Release();
    virtual ~RefCounted() = default;
    virtual void OnFinalRelease();

    int32_t RefCount() const;

private:
    // Changed only with atomic operations so that a release from any thread is safe.
    int32_t refCount = 0;
};
