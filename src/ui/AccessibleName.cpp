// The name a screen reader announces for a control, served by the control itself.
#include "AccessibleName.h"

#include <commctrl.h>
#include <oleacc.h>

#include <new>

namespace {
constexpr UINT_PTR kSubclassId = 0x414E; // "AN"
// The name, owned by the subclass, also found through this property when it is named again.
constexpr wchar_t kNameProperty[] = L"Nomaro_AccessibleName";

// The system's accessible object of the control with every answer passed through but the name.
class NamedAccessible final : public IAccessible, public IOleWindow {
public:
    NamedAccessible(IAccessible* standard, HWND window, const std::wstring& name)
        : standard_(standard), window_(window), name_(name)
    {
        standard_->AddRef();
    }

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible))
            *object = static_cast<IAccessible*>(this);
        else if (riid == __uuidof(IOleWindow))
            *object = static_cast<IOleWindow*>(this);
        else {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
    STDMETHODIMP_(ULONG) Release() override
    {
        ULONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return left;
    }

    // IOleWindow: how a screen reader finds the window of the object.
    STDMETHODIMP GetWindow(HWND* window) override
    {
        if (!window)
            return E_POINTER;
        *window = window_;
        return S_OK;
    }
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { return standard_->GetTypeInfoCount(count); }
    STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return standard_->GetTypeInfo(index, locale, info);
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override
    {
        return standard_->GetIDsOfNames(riid, names, count, locale, ids);
    }
    STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                        EXCEPINFO* exception, UINT* argument) override
    {
        return standard_->Invoke(id, riid, locale, flags, parameters, result, exception, argument);
    }

    // IAccessible: the name of the control itself is ours; everything else is the system's.
    STDMETHODIMP get_accName(VARIANT child, BSTR* name) override
    {
        if (!name)
            return E_POINTER;
        if (child.vt != VT_I4 || child.lVal != CHILDID_SELF)
            return standard_->get_accName(child, name);
        *name = SysAllocString(name_.c_str());
        return *name ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }
    STDMETHODIMP get_accChildCount(long* count) override { return standard_->get_accChildCount(count); }
    STDMETHODIMP get_accChild(VARIANT child, IDispatch** dispatch) override { return standard_->get_accChild(child, dispatch); }
    STDMETHODIMP get_accValue(VARIANT child, BSTR* value) override { return standard_->get_accValue(child, value); }
    STDMETHODIMP get_accDescription(VARIANT child, BSTR* text) override { return standard_->get_accDescription(child, text); }
    STDMETHODIMP get_accRole(VARIANT child, VARIANT* role) override { return standard_->get_accRole(child, role); }
    STDMETHODIMP get_accState(VARIANT child, VARIANT* state) override { return standard_->get_accState(child, state); }
    STDMETHODIMP get_accHelp(VARIANT child, BSTR* help) override { return standard_->get_accHelp(child, help); }
    STDMETHODIMP get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return standard_->get_accHelpTopic(file, child, topic);
    }
    STDMETHODIMP get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return standard_->get_accKeyboardShortcut(child, shortcut);
    }
    STDMETHODIMP get_accFocus(VARIANT* child) override { return standard_->get_accFocus(child); }
    STDMETHODIMP get_accSelection(VARIANT* children) override { return standard_->get_accSelection(children); }
    STDMETHODIMP get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        return standard_->get_accDefaultAction(child, action);
    }
    STDMETHODIMP accSelect(long flags, VARIANT child) override { return standard_->accSelect(flags, child); }
    STDMETHODIMP accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        return standard_->accLocation(left, top, width, height, child);
    }
    STDMETHODIMP accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        return standard_->accNavigate(direction, start, end);
    }
    STDMETHODIMP accHitTest(long x, long y, VARIANT* child) override { return standard_->accHitTest(x, y, child); }
    STDMETHODIMP accDoDefaultAction(VARIANT child) override { return standard_->accDoDefaultAction(child); }
    STDMETHODIMP put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
    STDMETHODIMP put_accValue(VARIANT child, BSTR value) override { return standard_->put_accValue(child, value); }

private:
    ~NamedAccessible() { standard_->Release(); }

    IAccessible* standard_;
    HWND window_;
    std::wstring name_;
    LONG references_ = 1;
};

LRESULT AnswerGetObject(HWND control, WPARAM wParam, const std::wstring& name)
{
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&standard))))
        return 0;
    auto* named = new (std::nothrow) NamedAccessible(standard, control, name);
    standard->Release();
    if (!named)
        return 0;
    LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(named));
    named->Release();
    return result;
}

LRESULT CALLBACK NamedControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR data) noexcept
{
    auto* name = reinterpret_cast<std::wstring*>(data);
    switch (message) {
    case WM_GETOBJECT:
        // Only the client object is renamed; the window's frame and other objects stay the system's.
        // Without memory for the name the system's own object answers.
        if (static_cast<LONG>(lParam) == OBJID_CLIENT) {
            try {
                if (LRESULT answer = AnswerGetObject(control, wParam, *name))
                    return answer;
            } catch (...) {
            }
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(control, NamedControlProc, kSubclassId);
        RemovePropW(control, kNameProperty);
        delete name;
        break;
    default:
        break;
    }
    return DefSubclassProc(control, message, wParam, lParam);
}
} // namespace

void SetAccessibleName(HWND control, const std::wstring& name)
{
    if (auto* named = static_cast<std::wstring*>(GetPropW(control, kNameProperty))) {
        *named = name;
        return;
    }
    // The name is kept by the subclass and deleted with the control.
    auto* kept = new std::wstring(name);
    if (!SetWindowSubclass(control, NamedControlProc, kSubclassId, reinterpret_cast<DWORD_PTR>(kept))) {
        delete kept;
        return;
    }
    SetPropW(control, kNameProperty, kept);
}
