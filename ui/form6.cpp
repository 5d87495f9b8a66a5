#include "form6.hpp"

namespace ui {

Form6::Form6()
{
    setWindowTitle(QStringLiteral("关于"));
    placeFixedClient(5475, 4935, 4605, 2955);
}

}  // namespace ui
