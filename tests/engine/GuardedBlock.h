#pragma once

#include <windows.h>

#include <cstddef>
#include <cstring>
#include <span>
#include <vector>

// Bytes placed right against a page the process may not touch, so that a read past the
// block's end faults instead of passing unseen.
class GuardedBlock {
public:
    explicit GuardedBlock(std::span<const std::byte> bytes)
    {
        const std::size_t pages = bytes.size() / 4096 + 2;
        base_ =
            static_cast<std::byte*>(::VirtualAlloc(nullptr, pages * 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        DWORD old = 0;
        ::VirtualProtect(base_ + (pages - 1) * 4096, 4096, PAGE_NOACCESS, &old);
        data_ = base_ + (pages - 1) * 4096 - bytes.size();
        if (!bytes.empty())
            std::memcpy(data_, bytes.data(), bytes.size());
        size_ = bytes.size();
    }
    ~GuardedBlock() { ::VirtualFree(base_, 0, MEM_RELEASE); }
    GuardedBlock(const GuardedBlock&) = delete;
    GuardedBlock& operator=(const GuardedBlock&) = delete;

    std::span<const std::byte> span() const { return {data_, size_}; }

private:
    std::byte* base_ = nullptr;
    std::byte* data_ = nullptr;
    std::size_t size_ = 0;
};
