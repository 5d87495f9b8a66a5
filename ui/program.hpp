#pragma once

namespace ui {

// Installs Qt's own simplified Chinese texts, once per run.
void loadQtTranslations();

// Creates the main window, whose load procedure shows it; Qt's texts are
// Chinese from then on.
void startProgram();

}  // namespace ui
