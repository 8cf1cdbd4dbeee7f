// Owns one handle of any kind and closes it once; movable, never copied. A kind is named by
// its closer: CloseWith below for a handle that one function closes, or a small object that
// carries what closing needs (a call seam, the device context of a saved state).
#pragma once

#include <utility>

template <typename Closer>
class ScopedHandle {
public:
    using Handle = typename Closer::Handle;

    ScopedHandle() = default;
    explicit ScopedHandle(Handle handle) : handle(handle) {}
    ScopedHandle(Closer closer, Handle handle) : closer(std::move(closer)), handle(handle) {}
    ~ScopedHandle() { Reset(); }
    ScopedHandle(ScopedHandle&& other) noexcept : closer(other.closer), handle(other.Release()) {}
    ScopedHandle& operator=(ScopedHandle&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
            closer = other.closer;
        }
        return *this;
    }
    ScopedHandle(const ScopedHandle&) = delete;
    ScopedHandle& operator=(const ScopedHandle&) = delete;

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != Closer::Empty(); }
    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle, Closer::Empty()); }
    // Closes the handle held, if any, and holds the replacement.
    void Reset(Handle replacement = Closer::Empty()) {
        const Handle old = std::exchange(handle, replacement);
        if (old != Closer::Empty()) closer(old);
    }

private:
    [[no_unique_address]] Closer closer;
    Handle handle = Closer::Empty();
};

// A handle that one function closes; `kEmpty` is what its opener answers on failure.
template <typename H, auto Close, H kEmpty = H{}>
struct CloseWith {
    using Handle = H;
    static Handle Empty() { return kEmpty; }
    void operator()(Handle handle) const { Close(handle); }
};
