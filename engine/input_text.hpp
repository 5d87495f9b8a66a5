#pragma once
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "file_slot.hpp"

namespace engine {

// Memory for a whole file's bytes. Throws std::bad_alloc when there is none.
class ByteBuffer {
public:
    ByteBuffer() = default;
    explicit ByteBuffer(std::size_t size);
    ByteBuffer(ByteBuffer&& other) noexcept;
    ByteBuffer& operator=(ByteBuffer&& other) noexcept;
    ~ByteBuffer();

    char* data() { return data_; }
    std::string_view view() const { return {data_, size_}; }
    void shrink(std::size_t size) { size_ = std::min(size, size_); }

private:
    void* mapping_ = nullptr;
    std::size_t mapped_ = 0;
    char* data_ = nullptr;
    std::size_t size_ = 0;
};

// The input file's bytes, undecoded: the text is the code page 936 decoding
// of them, and its characters are found by scanning them (char_scan.hpp).
struct InputText {
    ByteBuffer bytes;
    FileId file;  // which file they came from, to keep pieces off it
};

// Reads the whole file at path. Throws RunError naming the file when it
// cannot be read; the slot is free after.
InputText readInputText(const std::u16string& path);

}  // namespace engine
