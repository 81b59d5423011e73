#include "framework/FormAccessible.h"

#include <oleacc.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "base/PathEncoding.h"
#include "framework/Form.h"
#include "framework/GraphicControl.h"
#include "framework/SystemLibrary.h"

namespace lumora {

namespace {

// The libraries of accessibility, loaded from the system folder when a
// client first asks for the form's object. oleacc.dll is not among the
// system's known DLLs: imported, it would be looked for beside the
// installer first. ole32.dll and oleaut32.dll, with the libraries they
// bring, would cost every start their loading before the first window.
struct Oleacc {
    decltype(&AccessibleObjectFromWindow) accessibleObjectFromWindow;
    decltype(&CreateStdAccessibleObject) createStdAccessibleObject;
    decltype(&LresultFromObject) lresultFromObject;
    decltype(&CoInitialize) coInitialize;
    decltype(&SysAllocStringLen) sysAllocStringLen;

    bool loaded;
};

// The libraries, each followed by its functions in the order of Oleacc's
// members.
constexpr const char* kOleaccNames[] = {
    "oleacc.dll", "AccessibleObjectFromWindow", "CreateStdAccessibleObject", "LresultFromObject",
    "ole32.dll",  "CoInitialize",
    "oleaut32.dll", "SysAllocStringLen",
};

const Oleacc& OleaccFunctions()
{
    static const Oleacc functions = [] {
        Oleacc loaded{};
        FARPROC found[5];
        std::size_t count = 0;
        HMODULE library = nullptr;
        loaded.loaded = true;
        for (const char* name : kOleaccNames) {
            if (std::strstr(name, ".dll"))
                library = LoadSystemLibrary(name);
            else if (!(found[count++] = library ? GetProcAddress(library, name) : nullptr))
                loaded.loaded = false;
        }
        static_assert(sizeof found == offsetof(Oleacc, loaded), "one function of each name");
        std::memcpy(&loaded, found, sizeof found);
        return loaded;
    }();
    return functions;
}

// The thread's single-threaded apartment, entered once the libraries are
// loaded. It is never left: the process's end takes it down, after every
// object handed out may have been released.
void EnterApartment()
{
    static const bool entered = SUCCEEDED(OleaccFunctions().coInitialize(nullptr));
    (void)entered;
}

// The children of a form's client area at one moment: its child windows,
// then its controls that describe themselves, in visual order.
struct Children {
    std::vector<HWND> windows;
    std::vector<TGraphicControl*> elements;

    long Count() const { return static_cast<long>(windows.size() + elements.size()); }
    // The id of elements[index].
    long ElementId(std::size_t index) const { return static_cast<long>(windows.size() + 1 + index); }

    // The control of a child id; null for the client area itself, a child
    // window and an id of no child.
    TGraphicControl* ElementOf(const VARIANT& child) const
    {
        if (child.vt != VT_I4 || child.lVal <= static_cast<long>(windows.size()))
            return nullptr;
        const std::size_t index = static_cast<std::size_t>(child.lVal) - windows.size() - 1;
        return index < elements.size() ? elements[index] : nullptr;
    }

    // The own object of the child window with the id `id`.
    HRESULT WindowObject(long id, IDispatch** object) const
    {
        return OleaccFunctions().accessibleObjectFromWindow(windows[static_cast<std::size_t>(id - 1)], OBJID_WINDOW,
                                                             IID_IDispatch, reinterpret_cast<void**>(object));
    }
};

// Reads the children of `window`; a window that is no longer a form's has
// none but its child windows.
Children ReadChildren(HWND window)
{
    Children children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.windows.push_back(child);
    TForm* const form = TForm::FromHandle(window);
    if (!form)
        return children;
    const auto above = [](const TGraphicControl* a, const TGraphicControl* b) {
        return a->Top() != b->Top() ? a->Top() < b->Top() : a->Left() < b->Left();
    };
    AccessibleElement unused;
    auto& elements = children.elements;
    for (TGraphicControl* control : form->GraphicControls().Controls())
        if (control->DescribeAccessible(unused))
            elements.insert(std::upper_bound(elements.begin(), elements.end(), control, above), control);
    return children;
}

LONG RoleOf(TAccessibleRole role)
{
    switch (role) {
    case arPushButton: return ROLE_SYSTEM_PUSHBUTTON;
    }
    return ROLE_SYSTEM_CLIENT;
}

LONG StatesOf(TAccessibleStates states)
{
    LONG bits = 0;
    if (states.Contains(asUnavailable))
        bits |= STATE_SYSTEM_UNAVAILABLE;
    if (states.Contains(asPressed))
        bits |= STATE_SYSTEM_PRESSED;
    if (states.Contains(asHotTracked))
        bits |= STATE_SYSTEM_HOTTRACKED;
    if (states.Contains(asInvisible))
        bits |= STATE_SYSTEM_INVISIBLE;
    return bits;
}

// Answers for an element with `result`, unless finding the element (`found`)
// failed: then with that error.
HRESULT ElementAnswer(HRESULT found, HRESULT result) { return FAILED(found) ? found : result; }

HRESULT NoText(HRESULT found, BSTR* out, HRESULT result)
{
    *out = nullptr;
    return ElementAnswer(found, result);
}

// An empty text is no text: S_FALSE and no string.
HRESULT TextResult(HRESULT found, const std::string& text, BSTR* out)
{
    *out = nullptr;
    if (FAILED(found))
        return found;
    if (text.empty())
        return S_FALSE;
    const std::wstring wide = WideText(text);
    *out = OleaccFunctions().sysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

HRESULT IntegerResult(HRESULT found, LONG value, VARIANT* out)
{
    out->vt = VT_EMPTY;  // as VariantInit leaves it
    if (FAILED(found))
        return found;
    out->vt = VT_I4;
    out->lVal = value;
    return S_OK;
}

class FormAccessible final : public IAccessible {
public:
    // Takes over the caller's reference to `standard`.
    FormAccessible(HWND window, IAccessible* standard) : window_(window), standard_(standard) {}
    FormAccessible(const FormAccessible&) = delete;
    FormAccessible& operator=(const FormAccessible&) = delete;

    // ----- IUnknown ---------------------------------------------------------
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
            *object = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG left = InterlockedDecrement(&references_);
        if (left == 0)
            delete this;
        return static_cast<ULONG>(left);
    }

    // ----- IDispatch: clients use the IAccessible methods ------------------
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override
    {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override
    {
        return E_NOTIMPL;
    }

    // ----- IAccessible -------------------------------------------------------
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return standard_->get_accParent(parent); }

    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override
    {
        *count = 0;
        Children children;
        const HRESULT read = Read(children);
        if (SUCCEEDED(read))
            *count = children.Count();
        return read;
    }

    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override
    {
        *object = nullptr;
        Children children;
        const HRESULT read = Read(children);
        if (FAILED(read))
            return read;
        if (child.vt != VT_I4 || child.lVal < 1 || child.lVal > children.Count())
            return E_INVALIDARG;
        // An element has no object of its own: its parent describes it.
        if (children.ElementOf(child))
            return S_FALSE;
        return children.WindowObject(child.lVal, object);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accName(child, name) : TextResult(found, element.name, name);
    }

    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accValue(child, value)
                                : NoText(found, value, DISP_E_MEMBERNOTFOUND);
    }

    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accDescription(child, description)
                                : NoText(found, description, S_FALSE);
    }

    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accRole(child, role)
                                : IntegerResult(found, RoleOf(element.role), role);
    }

    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accState(child, state)
                                : IntegerResult(found, StatesOf(element.states), state);
    }

    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accHelp(child, help) : NoText(found, help, S_FALSE);
    }

    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        if (found == S_FALSE)
            return standard_->get_accHelpTopic(file, child, topic);
        *topic = 0;
        return NoText(found, file, S_FALSE);
    }

    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accKeyboardShortcut(child, shortcut)
                                : TextResult(found, element.shortcut, shortcut);
    }

    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return standard_->get_accFocus(focus); }

    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        return standard_->get_accSelection(selection);
    }

    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->get_accDefaultAction(child, action)
                                : TextResult(found, element.defaultAction, action);
    }

    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->accSelect(flags, child) : ElementAnswer(found, DISP_E_MEMBERNOTFOUND);
    }

    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override
    {
        Children children;
        const HRESULT read = Read(children);
        const TGraphicControl* const control = children.ElementOf(child);
        if (SUCCEEDED(read) && !control)
            return standard_->accLocation(left, top, width, height, child);
        *left = *top = *width = *height = 0;
        if (FAILED(read))
            return read;
        POINT origin{control->Left(), control->Top()};
        ClientToScreen(window_, &origin);
        *left = origin.x;
        *top = origin.y;
        *width = control->Width();
        *height = control->Height();
        return S_OK;
    }

    // Among the children, from the client area to its first or last child
    // and from an element to the next or previous one; the standard object
    // answers the rest.
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override
    {
        end->vt = VT_EMPTY;  // as VariantInit leaves it
        Children children;
        const HRESULT read = Read(children);
        if (FAILED(read))
            return read;
        const bool self = start.vt == VT_I4 && start.lVal == CHILDID_SELF;
        long target = 0;
        if (self && direction == NAVDIR_FIRSTCHILD)
            target = 1;
        else if (self && direction == NAVDIR_LASTCHILD)
            target = children.Count();
        else if (!children.ElementOf(start))
            return standard_->accNavigate(direction, start, end);
        else if (direction == NAVDIR_NEXT || direction == NAVDIR_PREVIOUS)
            target = start.lVal + (direction == NAVDIR_NEXT ? 1 : -1);
        else
            return DISP_E_MEMBERNOTFOUND;
        if (target < 1 || target > children.Count())
            return S_FALSE;
        end->vt = VT_I4;
        end->lVal = target;
        if (children.ElementOf(*end))
            return S_OK;
        end->vt = VT_DISPATCH;
        return children.WindowObject(target, &end->pdispVal);
    }

    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override
    {
        Children children;
        const HRESULT read = Read(children);
        if (FAILED(read))
            return read;
        POINT point{x, y};
        ScreenToClient(window_, &point);
        for (std::size_t i = 0; i < children.elements.size(); ++i) {
            const TGraphicControl* const control = children.elements[i];
            if (control->Visible() && PtInRect(&control->BoundsRect(), point))
                return IntegerResult(S_OK, children.ElementId(i), child);
        }
        return standard_->accHitTest(x, y, child);
    }

    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        Children children;
        const HRESULT read = Read(children);
        TGraphicControl* const control = children.ElementOf(child);
        if (FAILED(read) || !control)
            return FAILED(read) ? read : standard_->accDoDefaultAction(child);
        TForm* const form = TForm::FromHandle(window_);
        return form && form->GraphicControls().PostDefaultAction(*control) ? S_OK : E_FAIL;
    }

    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->put_accName(child, name) : ElementAnswer(found, E_NOTIMPL);
    }

    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        AccessibleElement element;
        const HRESULT found = Describe(child, element);
        return found == S_FALSE ? standard_->put_accValue(child, value) : ElementAnswer(found, E_NOTIMPL);
    }

private:
    ~FormAccessible() { standard_->Release(); }

    // No exception may leave towards the caller: running out of memory is
    // an error code.
    HRESULT Read(Children& children) const noexcept
    {
        try {
            children = ReadChildren(window_);
            return S_OK;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    // S_OK: `element` describes the child; S_FALSE: the child is the client
    // area, a child window or none, for the standard object to answer.
    HRESULT Describe(const VARIANT& child, AccessibleElement& element) const noexcept
    {
        try {
            const TGraphicControl* const control = ReadChildren(window_).ElementOf(child);
            return control && control->DescribeAccessible(element) ? S_OK : S_FALSE;
        } catch (...) {
            return E_OUTOFMEMORY;
        }
    }

    LONG references_ = 1;
    HWND window_;
    IAccessible* standard_;
};

}  // namespace

bool AnswerGetObject(TForm& form, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    if (static_cast<LONG>(lParam) != OBJID_CLIENT || ReadChildren(form.Handle()).elements.empty())
        return false;
    const Oleacc& oleacc = OleaccFunctions();
    if (!oleacc.loaded)
        return false;
    EnterApartment();
    IAccessible* standard = nullptr;
    if (FAILED(oleacc.createStdAccessibleObject(form.Handle(), OBJID_CLIENT, IID_IAccessible,
                                                reinterpret_cast<void**>(&standard))))
        return false;
    FormAccessible* const object = new (std::nothrow) FormAccessible(form.Handle(), standard);
    if (!object) {
        standard->Release();
        return false;
    }
    // The marshalled object holds references of its own.
    result = oleacc.lresultFromObject(IID_IAccessible, wParam, object);
    object->Release();
    return result > 0;
}

void NotifyAccessibleNameChange(TForm& form, const TGraphicControl& control)
{
    const HWND window = form.Handle();
    const Children children = ReadChildren(window);
    const auto found = std::find(children.elements.begin(), children.elements.end(), &control);
    if (found != children.elements.end())
        NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT,
                       children.ElementId(static_cast<std::size_t>(found - children.elements.begin())));
}

}  // namespace lumora
