#pragma once

#include <windows.h>

#include <cstddef>

// A zero-filled block from the process heap, freed when it goes.
class HeapBlock {
public:
    explicit HeapBlock(std::size_t size)
        : bytes_(static_cast<char*>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size))) {}
    ~HeapBlock() {
        if (bytes_) HeapFree(GetProcessHeap(), 0, bytes_);
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    char* get() const { return bytes_; }
    explicit operator bool() const { return bytes_ != nullptr; }

private:
    char* bytes_;
};
