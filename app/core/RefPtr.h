// A pointer that owns one reference to a counted object.
#pragma once

#include <utility>

template <typename T>
class RefPtr {
public:
    RefPtr() = default;
    RefPtr(T* object) : object(object) {  // NOLINT(google-explicit-constructor): as a raw pointer
        if (object) object->AddRef();
    }
    RefPtr(const RefPtr& other) : RefPtr(other.object) {}
    RefPtr(RefPtr&& other) noexcept : object(std::exchange(other.object, nullptr)) {}
    ~RefPtr() { Reset(); }

    RefPtr& operator=(const RefPtr& other) {
        if (this != &other) *this = other.object;
        return *this;
    }
    RefPtr& operator=(RefPtr&& other) noexcept {
        if (this != &other) {
            Reset();
            object = std::exchange(other.object, nullptr);
        }
        return *this;
    }
    // The new reference is taken before the old one goes, so assigning the
    // object already held never destroys it.
    RefPtr& operator=(T* newObject) {
        if (newObject) newObject->AddRef();
        T* old = std::exchange(object, newObject);
        if (old) old->Release();
        return *this;
    }

    void Reset() {
        if (T* old = std::exchange(object, nullptr)) old->Release();
    }

    T* Get() const { return object; }
    T* operator->() const { return object; }
    T& operator*() const { return *object; }
    explicit operator bool() const { return object != nullptr; }

private:
    T* object = nullptr;
};
