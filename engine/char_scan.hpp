#pragma once
// Characters of code page 936 bytes, found without decoding them: a valid
// lead-and-trail pair is one character and every other byte is one. Each is
// one UTF-16 code unit of the decoded text, and encoding gives its bytes back,
// so a run of characters is exactly a run of bytes.
#include <cstdint>
#include <string_view>

namespace engine::cp936 {

class CharCursor {
public:
    explicit CharCursor(std::string_view bytes);

    // Moves past up to n characters; gives how many it moved past.
    std::int64_t skip(std::int64_t n);
    // Where the cursor is: the first byte of a character, or the end.
    std::size_t offset() const;

private:
    bool load();

    const unsigned char* data_;
    std::size_t size_;
    std::size_t block_ = 0;    // where the current block of 64 bytes starts
    std::size_t next_ = 0;     // where the one after it starts
    std::uint64_t starts_ = 0;  // its characters' first bytes, from the cursor on
    bool trailFirst_ = false;  // the next block starts with the trail of a pair
};

std::int64_t countChars(std::string_view bytes);

}  // namespace engine::cp936
