// SPDX-License-Identifier: MIT
// What a screen reader is told about each control and the form, and what it can do with them.
#include "driver.h"

#include "reaction/lesson_session.h"
#include "reaction/lesson_texts.h"

#include <oleacc.h>
#undef interface

namespace velmora::driver {

namespace {

// The accessible object of a window, as a screen reader gets it, or nullptr.
IAccessible* accessible(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&object))))
        return nullptr;
    return object;
}

VARIANT self() {
    VARIANT out;
    VariantInit(&out);
    out.vt = VT_I4;
    out.lVal = CHILDID_SELF;
    return out;
}

std::string heard(IAccessible* object, HRESULT (STDMETHODCALLTYPE IAccessible::*text)(VARIANT, BSTR*)) {
    BSTR said = nullptr;
    if (object == nullptr || FAILED((object->*text)(self(), &said)) || said == nullptr) return {};
    const std::string out = narrow(said);
    SysFreeString(said);
    return out;
}

long roleOf(IAccessible* object) {
    VARIANT role;
    VariantInit(&role);
    return object != nullptr && SUCCEEDED(object->get_accRole(self(), &role)) && role.vt == VT_I4 ? role.lVal : 0;
}

} // namespace

void namesForScreenReaders(const std::wstring& exe) {
    const Program program(exe);
    // The heading is text, the pictures images, Reset and the complex buttons that are pressed;
    // the substrate's action picks it up.
    const struct {
        const char* name;
        long role;
        std::string_view action;
    } controls[] = {
        {"Label1", ROLE_SYSTEM_STATICTEXT, ""}, {"Command1", ROLE_SYSTEM_PUSHBUTTON, pressActionText(language())},
        {"Picture1", ROLE_SYSTEM_GRAPHIC, ""},  {"Picture2", ROLE_SYSTEM_GRAPHIC, pickUpActionText(language())},
        {"Picture3", ROLE_SYSTEM_GRAPHIC, ""},  {"Picture4", ROLE_SYSTEM_PUSHBUTTON, pressActionText(language())}};
    for (const auto& want : controls) {
        const Control& c = control(want.name);
        IAccessible* object = accessible(program.window(c.name()));
        const ControlText text = controlText(language(), c.name());
        const std::string name = heard(object, &IAccessible::get_accName);
        const std::string expected(c.kind() == ControlKind::PictureArea ? text.name : captionText(language(), c));
        check(name == expected, c.name() + " is called \"" + name + "\", not \"" + expected + "\"");
        const std::string description = heard(object, &IAccessible::get_accDescription);
        check(description == text.description, c.name() + " is described as \"" + description + "\"");
        check(roleOf(object) == want.role, c.name() + " has the role " + std::to_string(roleOf(object)));
        const std::string action = heard(object, &IAccessible::get_accDefaultAction);
        check(action == want.action, c.name() + "'s default action is \"" + action + "\"");
        if (object != nullptr) object->Release();
    }

    // The substrate's default action picks it up where it lies, and a second one drops it there.
    IAccessible* substrate = accessible(program.window("Picture2"));
    const PixelRect lies = pixelRectOf(control("Picture2"));
    for (const std::optional<PixelPoint> outline :
         {std::optional(PixelPoint{lies.x, lies.y}), std::optional<PixelPoint>()}) {
        check(substrate != nullptr && SUCCEEDED(substrate->accDoDefaultAction(self())),
              "the substrate takes its action");
        program.waitForOutline(outline, outline ? "over the substrate after its action" : "gone after a second one");
    }
    program.expectShown(kApart, "the substrate dropped where it lay");
    if (substrate != nullptr) substrate->Release();

    // The form tells where the lesson stands; the complex is pressed as a screen reader presses it.
    IAccessible* window = accessible(program.form());
    check(heard(window, &IAccessible::get_accDescription) == stageText(language(), Stage::Apart),
          "the form says the lesson is apart");
    dragSubstrate(program, centreOf("Picture2"), centreOf("Picture1"));
    program.expectShown(kBound, "the drop");
    check(heard(window, &IAccessible::get_accDescription) == stageText(language(), Stage::Bound),
          "the form says the lesson is bound");
    IAccessible* complex = accessible(program.window("Picture4"));
    check(complex != nullptr && SUCCEEDED(complex->accDoDefaultAction(self())), "the complex takes its press");
    program.expectShown(kReleased, "the complex's default action");
    for (IAccessible* object : {window, complex})
        if (object != nullptr) object->Release();
}

void noVoiceForTheLanguage(const std::wstring& exe) {
    // Wine's one voice names no language: the voice preset has none to speak with.
    const Program program(exe, L"--voice --sound");
    IAccessible* window = accessible(program.form());
    const std::string apart(stageText(language(), Stage::Apart));
    const std::string told = apart + " " + std::string(noVoiceText(language()));
    eventually([&] { return heard(window, &IAccessible::get_accDescription) == told; },
               [&] { return "the form's description is \"" + heard(window, &IAccessible::get_accDescription) + "\""; });
    check(program.topWindow("tooltips_class32") != nullptr, "a balloon shows that there is no voice");
    // The lesson goes on with the sounds on; the notice goes with the stage it was told in.
    dragSubstrate(program, centreOf("Picture2"), centreOf("Picture1"));
    program.expectShown(kBound, "the drop with the voice and the sounds on");
    check(heard(window, &IAccessible::get_accDescription) == stageText(language(), Stage::Bound),
          "the form's description is the stage alone after the drop");
    // Told once: the voice switched off and on again says nothing more.
    for (int turn = 0; turn < 2; ++turn) {
        press(VK_APPS);
        waitFor([&] { return program.topWindow("#32768") != nullptr; }, "the context menu");
        press(VK_DOWN);
        press(VK_RETURN);
        waitFor([&] { return program.topWindow("#32768") == nullptr; }, "the context menu to close");
    }
    // Handled after the menu's choice, as the window's thread takes messages in turn.
    SendMessageW(program.form(), WM_NULL, 0, 0);
    check(program.topWindow("tooltips_class32") == nullptr, "no second balloon");
    check(heard(window, &IAccessible::get_accDescription) == stageText(language(), Stage::Bound),
          "the form's description tells it no second time");
    if (window != nullptr) window->Release();
}

} // namespace velmora::driver
