#include "app/core/RefCounted.h"

#include <atomic>
#include <cstring>

const InterfaceId kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

int32_t RefCounted::QueryInterface(const InterfaceId& iid, void** object) {
    if (std::memcmp(&iid, &kIidUnknown, sizeof iid) == 0) {
        *object = this;
        AddRef();
        return kResultOk;
    }
    *object = nullptr;
    return kResultNoInterface;
}

int32_t RefCounted::AddRef() {
    return std::atomic_ref<int32_t>(refCount).fetch_add(1) + 1;
}

int32_t RefCounted::Release() {
    const int32_t count = std::atomic_ref<int32_t>(refCount).fetch_sub(1) - 1;
    if (count != 0) return count;
    OnFinalRelease();
    return 0;
}

void RefCounted::OnFinalRelease() {
    delete this;
}

int32_t RefCounted::RefCount() const {
    return std::atomic_ref<const int32_t>(refCount).load();
}
