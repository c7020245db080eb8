// A list with its buttons stacked at its right, at the top: the body of the dialogs that act on
// an entry of a list.
#pragma once

#include <initializer_list>

class QHBoxLayout;
class QLayout;
class QPushButton;
class QWidget;

namespace rux {

// The list takes the spare width; the buttons keep their own size.
QHBoxLayout* WithSideButtons(QWidget* list, std::initializer_list<QPushButton*> buttons);
// The same beside a column that holds the list together with its label or fields.
QHBoxLayout* WithSideButtons(QLayout* column, std::initializer_list<QPushButton*> buttons);

} // namespace rux
