// SPDX-License-Identifier: MIT
#pragma once

#include "core/reaction_state.h"
#include "ui/drag_outline.h"
#include "ui/form_window.h"
#include "ui/scene_images.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <array>
#include <memory>

namespace velmora::testing {

inline Flags modelFlags(FormWindow& w) { return flagsOf(w.model()); }

// What the window really shows for Picture1..Picture4.
inline Flags shownFlags(const FormWindow& w) {
    return {w.controlWidget("Picture1")->isVisible(), w.controlWidget("Picture2")->isVisible(),
            w.controlWidget("Picture3")->isVisible(), w.controlWidget("Picture4")->isVisible()};
}

// The pictures are decoded once for the whole test program.
inline const SceneImages& sharedImages() {
    static const SceneImages images = SceneImages::load(Language());
    return images;
}

inline std::unique_ptr<FormWindow> shownWindow() {
    auto window = std::make_unique<FormWindow>(Language(), sharedImages());
    window->show();
    return window;
}

// A shown window that has become the active one, so that it has the keyboard; nullptr if it never does.
inline std::unique_ptr<FormWindow> activeWindow() {
    auto w = shownWindow();
    QApplication::setActiveWindow(w.get());
    if (!QTest::qWaitForWindowActive(w.get())) return nullptr;
    return w;
}

// Sends one mouse event straight to `target`, as the platform would while `target` holds the
// implicit grab of a pressed button. `local` is in `target`'s coordinates.
inline void sendMouse(QWidget* target, QEvent::Type type, QPoint local, Qt::MouseButtons held) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(target->mapToGlobal(local)), button, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A mouse drag of the substrate: press at `grab` in Picture2, move and release at `drop`
// (window coordinates). Every event goes to Picture2, which holds the grab.
inline void dragSubstrate(FormWindow& w, QPoint grab, QPoint drop) {
    QWidget* substrate = w.controlWidget("Picture2");
    const QPoint dropLocal = substrate->mapFrom(&w, drop);
    sendMouse(substrate, QEvent::MouseButtonPress, grab, Qt::LeftButton);
    sendMouse(substrate, QEvent::MouseMove, (grab + dropLocal) / 2, Qt::LeftButton);
    sendMouse(substrate, QEvent::MouseMove, dropLocal, Qt::LeftButton);
    sendMouse(substrate, QEvent::MouseButtonRelease, dropLocal, Qt::NoButton);
}

// A press and release of the main button in the middle of the named control.
inline void clickControl(FormWindow& w, const char* name) {
    QWidget* widget = w.controlWidget(name);
    const QPoint centre = widget->rect().center();
    sendMouse(widget, QEvent::MouseButtonPress, centre, Qt::LeftButton);
    sendMouse(widget, QEvent::MouseButtonRelease, centre, Qt::NoButton);
}

} // namespace velmora::testing
