#include "program.hpp"

#include "form1.hpp"
#include "platform/windows.hpp"

namespace ui {

void startProgram() { Windows::ref<Form1>(); }

}  // namespace ui
