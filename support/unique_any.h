#pragma once
// One owner for every kind of handle. A handle type, the call that closes
// it and its empty value (what a default owner holds and what release
// leaves behind) make a move-only type that closes what it holds when it
// goes. A handle whose failures come in more than one value (Win32's null
// and INVALID_HANDLE_VALUE) names what counts as open too.

namespace nimbrel {

template <typename Handle, auto Empty>
constexpr bool IsNot(Handle handle) noexcept {
    return handle != Empty;
}

template <typename Handle, auto Close, auto Empty = Handle{}, bool (*IsOpen)(Handle) = &IsNot<Handle, Empty>>
class UniqueAny {
public:
    UniqueAny() noexcept = default;
    explicit UniqueAny(Handle handle) noexcept : handle_(handle) {}
    UniqueAny(UniqueAny&& other) noexcept : handle_(other.release()) {}
    UniqueAny& operator=(UniqueAny&& other) noexcept {
        reset(other.release());
        return *this;
    }
    UniqueAny(const UniqueAny&) = delete;
    UniqueAny& operator=(const UniqueAny&) = delete;
    ~UniqueAny() { reset(); }

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return IsOpen(handle_); }

    // Gives the handle up without closing it.
    Handle release() noexcept {
        const Handle held = handle_;
        handle_ = Empty;
        return held;
    }

    // Closes what is held (when it is open) and takes the new handle.
    void reset(Handle handle = Empty) noexcept {
        const Handle old = handle_;
        handle_ = handle;
        if (IsOpen(old)) Close(old);
    }

private:
    Handle handle_ = Empty;
};

}  // namespace nimbrel
