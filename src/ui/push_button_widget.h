// SPDX-License-Identifier: MIT
#pragma once

#include <QPushButton>

namespace velmora {

// A push button that answers Enter as well as Space when it has the focus, as buttons on a
// form do, without becoming any window's default button. A focus the keyboard gave it shows
// the same ring as the pictures.
class PushButtonWidget final : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velmora
