#pragma once
#include "settings.hpp"

namespace engine {

// One whole split: tests, notice, reading, pieces, "完成". Every failed test
// and every limit ends in a message; nothing is thrown for those.
void splitRun(SettingsReader& settings, const MessageBox& show);

}  // namespace engine
