#pragma once
// Fields of the kernel's mount tables (/proc/self/mounts, mountinfo).
#include <string>
#include <string_view>

namespace engine {

// The field with its \ooo escapes (blanks, tabs, new lines, backslashes)
// turned back into their bytes.
std::string unescapeMountField(std::string_view field);

}  // namespace engine
