// SPDX-License-Identifier: MIT
#include "win32/form_window.h"

namespace velmora::win32 {

namespace {

// The MSAA role of a control's role in the lesson.
long msaaRole(ControlRole role) {
    switch (role) {
    case ControlRole::Heading: return ROLE_SYSTEM_STATICTEXT;
    case ControlRole::Button: return ROLE_SYSTEM_PUSHBUTTON;
    case ControlRole::Image: break;
    }
    return ROLE_SYSTEM_GRAPHIC;
}

} // namespace

// Tells screen readers what each window of the form is: each control's role, name, description
// and default action as the lesson session gives them, and where the lesson stands as the form's
// own description. A default action is played as the session's activation of the control.
class FormWindow::Accessibility final : public AccessibleSource {
public:
    explicit Accessibility(FormWindow& form) : form_(form) {}

    AccessibleFacts facts(HWND window) const override {
        AccessibleFacts out;
        if (window == form_.hwnd_) {
            out.description = widen(form_.stage_);
            if (!form_.notice_.empty()) out.description += L" " + form_.notice_;
            return out;
        }
        const Control* control = form_.controlOf(window);
        if (control == nullptr) return out;
        // Every role said outright: not every system's object for a button says it is one.
        const velmora::Accessibility said = form_.session_.accessibility(*control);
        out.name = widen(said.name);
        out.description = widen(said.description);
        out.role = msaaRole(said.role);
        out.defaultAction = widen(said.action);
        return out;
    }

    bool doDefaultAction(HWND window) override {
        const Control* control = form_.controlOf(window);
        if (control == nullptr || form_.session_.accessibility(*control).action.empty()) return false;
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
