#pragma once
// One owner for every kind of handle. A handle type, the call that closes
// it and what counts as an open handle (anything but null, unless told
// otherwise) make a move-only type that closes what it holds when it goes.

namespace nimbrel {

template <typename Handle>
constexpr bool IsNotNull(Handle handle) noexcept {
    return handle != Handle{};
}

template <typename Handle, auto Close, bool (*IsOpen)(Handle) = &IsNotNull<Handle>>
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
        handle_ = Handle{};
        return held;
    }

    // Closes what is held (when it is open) and takes the new handle.
    void reset(Handle handle = Handle{}) noexcept {
        const Handle old = handle_;
        handle_ = handle;
        if (IsOpen(old)) Close(old);
    }

private:
    Handle handle_{};
};

}  // namespace nimbrel
