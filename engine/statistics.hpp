#pragma once
#include "settings.hpp"

namespace engine {

// The character count and the size estimate of the input file; each reads
// only the input path.
void showCharacterCount(SettingsReader& settings, const MessageBox& show);
void showSizeEstimate(SettingsReader& settings, const MessageBox& show);

}  // namespace engine
