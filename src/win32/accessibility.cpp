// SPDX-License-Identifier: MIT
#include "win32/accessibility.h"

#include "win32/win32_support.h"

#include <atomic>
#include <utility>

namespace velmora::win32 {
namespace {

bool isSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The two calls of Windows' accessibility library (oleacc.dll) that the program makes, loaded from
// the system folder the first time a screen reader asks; nullptr where they cannot be had.
struct Oleacc {
    using CreateStdAccessibleObjectFn = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using LresultFromObjectFn = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);

    CreateStdAccessibleObjectFn createStandard = nullptr;
    LresultFromObjectFn lresultFromObject = nullptr;

    static const Oleacc& get() {
        static const Oleacc loaded = [] {
            HMODULE library = systemLibrary(L"oleacc.dll");
            return Oleacc{systemFunction<CreateStdAccessibleObjectFn>(library, "CreateStdAccessibleObject"),
                          systemFunction<LresultFromObjectFn>(library, "LresultFromObject")};
        }();
        return loaded;
    }
};

HRESULT answer(const std::wstring& text, BSTR* out) {
    if (out == nullptr) return E_POINTER;
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

/*
 * The accessible object of one window: the system's own object for it (states, location,
 * navigation, children), with the name, description, role and default action of its
 * AccessibleSource. Every call the source does not answer goes to the system's object; once the
 * source is gone, every call fails with RPC_E_DISCONNECTED.
 */
class WindowAccessible final : public IAccessible, public IOleWindow {
public:
    WindowAccessible(HWND window, IAccessible* system, std::weak_ptr<AccessibleSource> source)
        : window_(window), system_(system), source_(std::move(source)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IAccessible)
            *out = static_cast<IAccessible*>(this);
        else if (iid == IID_IOleWindow)
            *out = static_cast<IOleWindow*>(this);
        else
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* out) override {
        if (out == nullptr) return E_POINTER;
        *out = window_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return system_->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return system_->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return system_->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return system_->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: what the source knows about the window itself
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessibleFacts::name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessibleFacts::description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override {
        return text(child, out, &AccessibleFacts::defaultAction, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override {
        const auto source = source_.lock();
        if (!source) return RPC_E_DISCONNECTED;
        if (isSelf(child) && out != nullptr) {
            if (const long role = source->facts(window_).role; role != 0) {
                VariantInit(out);
                out->vt = VT_I4;
                out->lVal = role;
                return S_OK;
            }
        }
        return system_->get_accRole(child, out);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        const auto source = source_.lock();
        if (!source) return RPC_E_DISCONNECTED;
        if (isSelf(child) && source->doDefaultAction(window_)) return S_OK;
        return system_->accDoDefaultAction(child);
    }

    // IAccessible: the rest is the system's
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override {
        return ifLive([&] { return system_->get_accParent(out); });
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override {
        return ifLive([&] { return system_->get_accChildCount(out); });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
        return ifLive([&] { return system_->get_accChild(child, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override {
        return ifLive([&] { return system_->get_accValue(child, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override {
        return ifLive([&] { return system_->get_accState(child, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override {
        return ifLive([&] { return system_->get_accHelp(child, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
        return ifLive([&] { return system_->get_accHelpTopic(file, child, topic); });
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override {
        return ifLive([&] { return system_->get_accKeyboardShortcut(child, out); });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override {
        return ifLive([&] { return system_->get_accFocus(out); });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override {
        return ifLive([&] { return system_->get_accSelection(out); });
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return ifLive([&] { return system_->accSelect(flags, child); });
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* width, long* height, VARIANT child) override {
        return ifLive([&] { return system_->accLocation(x, y, width, height, child); });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override {
        return ifLive([&] { return system_->accNavigate(direction, start, out); });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override {
        return ifLive([&] { return system_->accHitTest(x, y, out); });
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

private:
    ~WindowAccessible() { system_->Release(); }

    // The system's answer while the source lives.
    template <class Call>
    HRESULT ifLive(Call call) const {
        return source_.expired() ? RPC_E_DISCONNECTED : call();
    }

    HRESULT text(const VARIANT& child, BSTR* out, std::wstring AccessibleFacts::*field,
                 HRESULT (STDMETHODCALLTYPE IAccessible::*system)(VARIANT, BSTR*)) {
        const auto source = source_.lock();
        if (!source) return RPC_E_DISCONNECTED;
        if (isSelf(child)) {
            const AccessibleFacts facts = source->facts(window_);
            if (!(facts.*field).empty()) return answer(facts.*field, out);
        }
        return (system_->*system)(child, out);
    }

    std::atomic<ULONG> references_{1};
    HWND window_;
    IAccessible* system_;
    std::weak_ptr<AccessibleSource> source_;
};

} // namespace

LRESULT accessibleObjectFor(HWND window, WPARAM wParam, LPARAM lParam, std::weak_ptr<AccessibleSource> source) {
    const Oleacc& oleacc = Oleacc::get();
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || source.expired() ||
        oleacc.createStandard == nullptr || oleacc.lresultFromObject == nullptr)
        return 0;
    IAccessible* system = nullptr;
    if (FAILED(oleacc.createStandard(window, OBJID_CLIENT, IID_IAccessible, reinterpret_cast<void**>(&system))))
        return 0;
    auto* object = new WindowAccessible(window, system, std::move(source));
    const LRESULT result = oleacc.lresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result > 0 ? result : 0;
}

Announcer::Announcer(HWND window) : window_(window) {
    library_ = systemLibrary(L"UIAutomationCore.dll");
    hostProvider_ = systemFunction<HostProviderFn>(library_, "UiaHostProviderFromHwnd");
    raise_ = systemFunction<RaiseNotificationFn>(library_, "UiaRaiseNotificationEvent");
}

Announcer::~Announcer() {
    if (library_ != nullptr) FreeLibrary(library_);
}

void Announcer::say(std::string_view utf8) const {
    if (!available() || utf8.empty()) return;
    // NotificationKind_ActionCompleted and NotificationProcessing_ImportantMostRecent of
    // UIAutomationCore.h, which MinGW's headers lack.
    constexpr int kActionCompleted = 2;
    constexpr int kImportantMostRecent = 1;
    IUnknown* provider = nullptr;
    if (FAILED(hostProvider_(window_, &provider)) || provider == nullptr) return;
    const std::wstring text = widen(utf8);
    BSTR display = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    BSTR activity = SysAllocString(L"Velmora.LessonStep");
    if (display != nullptr && activity != nullptr)
        (void)raise_(provider, kActionCompleted, kImportantMostRecent, display, activity);
    SysFreeString(activity);
    SysFreeString(display);
    provider->Release();
}

} // namespace velmora::win32
