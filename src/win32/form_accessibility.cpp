// SPDX-License-Identifier: MIT
#include "win32/form_window.h"

#include "reaction/lesson_texts.h"

namespace velmora::win32 {

// Tells screen readers what each window of the form is: the lesson's names and descriptions of the
// controls, the complex as a button that can be pressed, and where the lesson stands as the form's
// own description.
class FormWindow::Accessibility final : public AccessibleSource {
public:
    explicit Accessibility(FormWindow& form) : form_(form) {}

    AccessibleFacts facts(HWND window) const override {
        AccessibleFacts out;
        if (window == form_.hwnd_) {
            out.description = widen(form_.stage_);
            return out;
        }
        const Control* control = form_.controlOf(window);
        if (control == nullptr) return out;
        const ControlText text = controlText(control->name());
        out.description = widen(text.description);
        // Said outright for Reset too: not every system's object for a button says it is one.
        if (control->kind() == ControlKind::PushButton) out.role = ROLE_SYSTEM_PUSHBUTTON;
        if (control->kind() == ControlKind::PictureArea) {
            out.name = widen(text.name);
            const bool clickable = form_.session_.clickable(*control);
            out.role = clickable ? ROLE_SYSTEM_PUSHBUTTON : ROLE_SYSTEM_GRAPHIC;
            if (clickable) out.defaultAction = widen(pressActionText());
        }
        return out;
    }

    bool doDefaultAction(HWND window) override {
        const Control* control = form_.controlOf(window);
        if (control == nullptr || control->kind() != ControlKind::PictureArea || !form_.session_.clickable(*control))
            return false;
        // Played from the message loop, not inside the screen reader's call.
        PostMessageW(form_.hwnd_, kActivateMessage, control->record().index, 0);
        return true;
    }

private:
    FormWindow& form_;
};

std::shared_ptr<AccessibleSource> FormWindow::makeAccessibility() { return std::make_shared<Accessibility>(*this); }

LRESULT FormWindow::accessibleObject(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    return accessibleObjectFor(hwnd, wParam, lParam, accessibility_);
}

} // namespace velmora::win32
