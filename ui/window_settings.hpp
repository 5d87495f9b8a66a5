#pragma once
// The split settings, read from the window fields at the moment of each read.
#include "engine/settings.hpp"

namespace ui {

class WindowSettings final : public engine::SettingsReader {
public:
    engine::ModeState splitMode() override;
    std::u16string inputPath() override;
    std::u16string outputFolder() override;
    std::u16string baseName() override;
    // These two create their dialog, unseen, when it does not exist.
    std::u16string charsPerPiece() override;
    std::u16string sizePerPiece() override;
};

}  // namespace ui
