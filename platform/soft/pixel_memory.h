// The memory behind a surface's pixels: zeroed, and on Linux mapped so that the system
// clears each page only when it is first written.
#pragma once

#include <cstddef>
#include <cstdint>

class PixelMemory {
  public:
    PixelMemory() = default;
    // Empty when the memory cannot be had.
    explicit PixelMemory(size_t bytes);
    ~PixelMemory();
    PixelMemory(PixelMemory&& other) noexcept;
    PixelMemory& operator=(PixelMemory&& other) noexcept;
    PixelMemory(const PixelMemory&) = delete;
    PixelMemory& operator=(const PixelMemory&) = delete;

    uint8_t* data() { return bytes_; }
    const uint8_t* data() const { return bytes_; }
    bool empty() const { return bytes_ == nullptr; }

  private:
    void release();

    uint8_t* bytes_ = nullptr;
    size_t length_ = 0;  // as allocated
};
