#pragma once
#include <string>

#include "file_slot.hpp"

namespace engine {

struct InputText {
    std::u16string text;  // one character per UTF-16 code unit
    FileId file;          // which file it came from, to keep pieces off it
};

// Reads the whole file at path and decodes it from code page 936. Throws
// RunError naming the file when it cannot be read; the slot is free after.
InputText readInputText(const std::u16string& path);

}  // namespace engine
