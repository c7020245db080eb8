#include "dialogs/side_buttons_layout.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace rux {
namespace {

QVBoxLayout* ButtonColumn(std::initializer_list<QPushButton*> buttons) {
    auto* side = new QVBoxLayout;
    for (QPushButton* button : buttons) side->addWidget(button);
    side->addStretch(1);
    return side;
}

} // namespace

QHBoxLayout* WithSideButtons(QWidget* list, std::initializer_list<QPushButton*> buttons) {
    auto* body = new QHBoxLayout;
    body->addWidget(list, 1);
    body->addLayout(ButtonColumn(buttons));
    return body;
}

QHBoxLayout* WithSideButtons(QLayout* column, std::initializer_list<QPushButton*> buttons) {
    auto* body = new QHBoxLayout;
    body->addLayout(column, 1);
    body->addLayout(ButtonColumn(buttons));
    return body;
}

} // namespace rux
