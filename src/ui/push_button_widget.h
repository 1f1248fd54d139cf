// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>

namespace velmora {

// A push button whose keys are the lesson's (the window hands them to it) and whose focus, when
// the keyboard gave it, shows the same ring as the pictures.
class PushButtonWidget final : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora
