#include "window_settings.hpp"

#include <QLineEdit>

#include "form1.hpp"
#include "form4.hpp"
#include "form5.hpp"
#include "platform/option_button.hpp"
#include "platform/windows.hpp"

namespace ui {
namespace {

std::u16string textOf(const QLineEdit* field) { return field->text().toStdU16String(); }

}  // namespace

engine::ModeState WindowSettings::splitMode()
{
    const Form1& form = Windows::ref<Form1>();
    return {form.Option1->value(), form.Option2->value()};
}

std::u16string WindowSettings::inputPath() { return textOf(Windows::ref<Form1>().Text1); }

std::u16string WindowSettings::outputFolder() { return textOf(Windows::ref<Form1>().Text2); }

std::u16string WindowSettings::baseName() { return textOf(Windows::ref<Form1>().Text4); }

std::u16string WindowSettings::charsPerPiece() { return textOf(Windows::ref<Form4>().Text3); }

std::u16string WindowSettings::sizePerPiece() { return textOf(Windows::ref<Form5>().Text1); }

}  // namespace ui
