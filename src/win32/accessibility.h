// SPDX-License-Identifier: MIT
#pragma once

#include "win32/windows_headers.h"

#include <memory>
#include <string>
#include <string_view>

namespace velmora::win32 {

// What assistive technology is told about one window, over what the system knows of it.
struct AccessibleFacts {
    std::wstring name;          // empty: the system's (the window's text)
    std::wstring description;   // empty: the system's
    long role = 0;              // an MSAA ROLE_SYSTEM_ value; 0: the system's
    std::wstring defaultAction; // empty: the system's
};

/*
 * Where a window's accessible object takes its facts and sends its default action. Owned by the
 * presentation; the objects a screen reader holds keep only a weak reference, so once the window
 * is gone they answer that the object is no longer there.
 */
class AccessibleSource {
public:
    virtual ~AccessibleSource() = default;
    virtual AccessibleFacts facts(HWND window) const = 0;
    // Does the window's default action; false leaves it to the system's object.
    virtual bool doDefaultAction(HWND window) = 0;
};

/*
 * The answer to WM_GETOBJECT for `window`: for its client object, the system's own object with the
 * facts of `source` laid over it; for any other object, or where Windows' accessibility library
 * cannot be loaded, nothing (0), so that the caller passes the message on to the default window
 * procedure.
 */
LRESULT accessibleObjectFor(HWND window, WPARAM wParam, LPARAM lParam, std::weak_ptr<AccessibleSource> source);

/*
 * Says a sentence to the screen reader through a UI Automation notification on `window`.
 * UIAutomationCore.dll is loaded from the system folder when the announcer is made; where it or its
 * notification call is missing (Windows before 10 version 1709, Wine), sentences go nowhere and
 * nothing fails.
 */
class Announcer final {
public:
    explicit Announcer(HWND window);
    ~Announcer();
    Announcer(const Announcer&) = delete;
    Announcer& operator=(const Announcer&) = delete;

    // Whether this Windows can send the notifications.
    bool available() const { return raise_ != nullptr && hostProvider_ != nullptr; }
    // Says `utf8`; a newer sentence cuts one that is still being spoken.
    void say(std::string_view utf8) const;

private:
    using HostProviderFn = HRESULT(WINAPI*)(HWND, IUnknown**);
    using RaiseNotificationFn = HRESULT(WINAPI*)(IUnknown*, int, int, BSTR, BSTR);

    HWND window_;
    HMODULE library_ = nullptr;
    HostProviderFn hostProvider_ = nullptr;
    RaiseNotificationFn raise_ = nullptr;
};

} // namespace velmora::win32
