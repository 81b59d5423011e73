#include "Accessible.h"

#include <windows.h>
#include <oleacc.h>

#include <vector>

#include "Failure.h"
#include "Output.h"

namespace windriver {

namespace {

// More children than a window of the tests has by far.
const long kMaxChildren = 10000;

// COM on this thread, for the command's length.
class ComScope {
public:
    ComScope()
    {
        if (FAILED(CoInitialize(nullptr)))
            throw Failure("CoInitialize failed");
    }
    ~ComScope() { CoUninitialize(); }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;
};

// Owns one reference to an accessible object.
class AccessibleRef {
public:
    AccessibleRef() = default;
    ~AccessibleRef()
    {
        if (object_)
            object_->Release();
    }
    AccessibleRef(const AccessibleRef&) = delete;
    AccessibleRef& operator=(const AccessibleRef&) = delete;

    IAccessible* get() const { return object_; }
    IAccessible** put() { return &object_; }

private:
    IAccessible* object_ = nullptr;
};

// Clears each VARIANT, releasing the objects they hold.
class VariantList {
public:
    explicit VariantList(size_t count) : items_(count)
    {
        for (VARIANT& item : items_)
            VariantInit(&item);
    }
    ~VariantList()
    {
        for (VARIANT& item : items_)
            VariantClear(&item);
    }
    VariantList(const VariantList&) = delete;
    VariantList& operator=(const VariantList&) = delete;

    VARIANT* data() { return items_.data(); }
    VARIANT& operator[](size_t i) { return items_[i]; }

private:
    std::vector<VARIANT> items_;
};

VARIANT childId(LONG id)
{
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

// The accessible object of a window's client area, and COM while it is held.
class ClientObject {
public:
    explicit ClientObject(HWND window)
    {
        const HRESULT result = AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                          reinterpret_cast<void**>(object_.put()));
        if (FAILED(result) || !object_.get())
            throw Failure("AccessibleObjectFromWindow failed (" + std::to_string(result) + ")");
    }

    IAccessible* get() const { return object_.get(); }

private:
    ComScope com_;  // first: COM outlives the reference
    AccessibleRef object_;
};

// A text property, or null when the object has none.
void writeText(JsonWriter& out, const char* key, HRESULT result, BSTR text)
{
    out.key(key);
    if (result == S_OK && text)
        out.value(std::wstring(text, SysStringLen(text)));
    else
        out.null();
    SysFreeString(text);
}

void writeNumber(JsonWriter& out, const char* key, HRESULT result, const VARIANT& value)
{
    out.key(key);
    if (result == S_OK && value.vt == VT_I4)
        out.value(int64_t{value.lVal});
    else
        out.null();
}

std::wstring name(IAccessible* object, const VARIANT& child)
{
    BSTR text = nullptr;
    const HRESULT result = object->get_accName(child, &text);
    std::wstring name = result == S_OK && text ? std::wstring(text, SysStringLen(text)) : std::wstring();
    SysFreeString(text);
    return name;
}

// The properties of `child` of `object` (CHILDID_SELF: the object itself).
void writeProperties(JsonWriter& out, IAccessible* object, const VARIANT& child)
{
    BSTR text = nullptr;
    HRESULT result = object->get_accName(child, &text);
    writeText(out, "name", result, text);
    VARIANT value;
    VariantInit(&value);
    result = object->get_accRole(child, &value);
    writeNumber(out, "role", result, value);
    VariantClear(&value);
    result = object->get_accState(child, &value);
    writeNumber(out, "state", result, value);
    VariantClear(&value);
    text = nullptr;
    result = object->get_accKeyboardShortcut(child, &text);
    writeText(out, "shortcut", result, text);
    text = nullptr;
    result = object->get_accDefaultAction(child, &text);
    writeText(out, "action", result, text);
    long left = 0, top = 0, width = 0, height = 0;
    out.key("location");
    if (object->accLocation(&left, &top, &width, &height, child) == S_OK) {
        out.beginArray();
        for (long n : {left, top, width, height})
            out.value(int64_t{n});
        out.endArray();
    } else {
        out.null();
    }
}

// A child as AccessibleChildren gives it: an object of its own, or an id
// of the parent's.
struct Child {
    AccessibleRef own;
    LONG id = CHILDID_SELF;

    IAccessible* object(IAccessible* parent) const { return own.get() ? own.get() : parent; }
};

std::vector<Child> children(IAccessible* parent)
{
    long count = 0;
    if (FAILED(parent->get_accChildCount(&count)) || count < 0 || count > kMaxChildren)
        throw Failure("get_accChildCount failed or gave " + std::to_string(count));
    VariantList items(static_cast<size_t>(count));
    long obtained = 0;
    if (count > 0 && FAILED(AccessibleChildren(parent, 0, count, items.data(), &obtained)))
        throw Failure("AccessibleChildren failed");
    std::vector<Child> result(static_cast<size_t>(obtained));
    for (long i = 0; i < obtained; ++i) {
        if (items[i].vt == VT_DISPATCH && items[i].pdispVal) {
            void** own = reinterpret_cast<void**>(result[i].own.put());
            if (FAILED(items[i].pdispVal->QueryInterface(IID_IAccessible, own)))
                throw Failure("a child object is no IAccessible");
        } else if (items[i].vt == VT_I4) {
            result[i].id = items[i].lVal;
        } else {
            throw Failure("a child of an unexpected type " + std::to_string(items[i].vt));
        }
    }
    return result;
}

void CALLBACK nameChanged(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    AccessibleRef source;
    VARIANT id;
    VariantInit(&id);
    JsonWriter out;
    out.beginObject();
    out.key("hwnd");
    out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(window)));
    out.key("object");
    out.value(int64_t{object});
    out.key("child");
    out.value(int64_t{child});
    out.key("name");
    if (SUCCEEDED(AccessibleObjectFromEvent(window, static_cast<DWORD>(object), static_cast<DWORD>(child),
                                            source.put(), &id)) && source.get())
        out.value(name(source.get(), id));
    else
        out.null();
    out.endObject();
    VariantClear(&id);
    printNow(out);
}

}  // namespace

void listAccessible(const Args& args, JsonWriter& out)
{
    expectCount(args, 1, 1, "accessible HWND");
    const ClientObject client(parseWindow(args[0]));
    const VARIANT self = childId(CHILDID_SELF);
    out.beginObject();
    writeProperties(out, client.get(), self);
    out.key("children");
    out.beginArray();
    for (const Child& child : children(client.get())) {
        out.beginObject();
        out.key("id");
        if (child.own.get())
            out.null();
        else
            out.value(int64_t{child.id});
        HWND own = nullptr;
        out.key("hwnd");
        if (child.own.get() && SUCCEEDED(WindowFromAccessibleObject(child.own.get(), &own)) && own)
            out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(own)));
        else
            out.null();
        writeProperties(out, child.object(client.get()), childId(child.id));
        out.endObject();
    }
    out.endArray();
    out.endObject();
}

void doAccessibleAction(const Args& args, JsonWriter& out)
{
    expectCount(args, 2, 2, "accessible-do HWND NAME");
    const ClientObject client(parseWindow(args[0]));
    const std::vector<Child> all = children(client.get());
    const Child* found = nullptr;
    for (const Child& child : all) {
        if (name(child.object(client.get()), childId(child.id)) != args[1])
            continue;
        if (found)
            throw Failure("more than one child named \"" + narrow(args[1]) + "\"");
        found = &child;
    }
    if (!found)
        throw Failure("no child named \"" + narrow(args[1]) + "\"");
    const HRESULT result = found->object(client.get())->accDoDefaultAction(childId(found->id));
    if (FAILED(result))
        throw Failure("accDoDefaultAction failed (" + std::to_string(result) + ")");
    out.beginObject();
    out.key("done");
    out.value(true);
    out.endObject();
}

void listenAccessibleEvents(const Args& args, JsonWriter& out)
{
    expectCount(args, 1, 1, "accessible-events HWND");
    const HWND window = parseWindow(args[0]);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    ComScope com;
    const HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                               nameChanged, process, 0, WINEVENT_OUTOFCONTEXT);
    if (!hook)
        throw systemFailure("SetWinEventHook");
    out.beginObject();
    out.key("listening");
    out.value(static_cast<int64_t>(reinterpret_cast<uintptr_t>(window)));
    out.endObject();
    printNow(out);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    UnhookWinEvent(hook);
}

}  // namespace windriver
