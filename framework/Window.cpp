#include "framework/Window.h"

#include "framework/ApplicationBase.h"
#include "framework/WindowProcedures.h"

namespace {

const wchar_t* const frameworkClassName = L"Qarno Window";

// The class data of an existing class: the module's own first, then the system's.
bool FindClass(LPCWSTR className, WNDCLASSEXW& data)
{
    data.cbSize = sizeof data;
    return GetClassInfoExW(instanceHandle, className, &data) || GetClassInfoExW(nullptr, className, &data);
}

} // namespace

void Window::PrepareCreate(CREATESTRUCTW&) {}

bool Window::Create(HWND parent)
{
    CREATESTRUCTW create{};
    create.hInstance = instanceHandle;
    create.x = create.y = create.cx = create.cy = CW_USEDEFAULT;
    PrepareCreate(create);
    if (parent == nullptr && create.hwndParent != nullptr)
        parent = create.hwndParent;
    const wchar_t* className =
        create.lpszClass != nullptr && create.lpszClass[0] != L'\0' ? create.lpszClass : frameworkClassName;

    WNDCLASSEXW windowClass{};
    if (!FindClass(className, windowClass)) {
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = FrameworkWindowProc;
        windowClass.hInstance = instanceHandle;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className;
        RegisterClassExW(&windowClass); // a refusal shows as the creation failing below
    }

    // The object itself is the creation parameter, whatever PrepareCreate put there.
    if (!CreateBound(create.dwExStyle, className, create.lpszName, create.style, create.x, create.y, create.cx,
                     create.cy, parent, create.hMenu, create.hInstance))
        return false;
    if (windowClass.lpfnWndProc != FrameworkWindowProc)
        Subclass();
    return true;
}

bool Window::CreateOfClass(LPCWSTR className, const RECT* rectangle, LPCWSTR windowName, DWORD style,
                           DWORD extendedStyle, HWND parent, HMENU menu)
{
    const RECT area = rectangle != nullptr ? *rectangle : RECT{CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};
    // 32-bit wrap-around on purpose: the default rectangle gives CW_USEDEFAULT for the size too.
    const int width = static_cast<int>(static_cast<UINT>(area.right) - static_cast<UINT>(area.left));
    const int height = static_cast<int>(static_cast<UINT>(area.bottom) - static_cast<UINT>(area.top));
    if (!CreateBound(extendedStyle, className, windowName, style, area.left, area.top, width, height, parent, menu,
                     instanceHandle))
        return false;
    WNDCLASSEXW windowClass{};
    if (FindClass(className, windowClass) && windowClass.lpfnWndProc != FrameworkWindowProc)
        Subclass();
    return true;
}

bool Window::CreateBound(DWORD extendedStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                         int width, int height, HWND parent, HMENU menu, HINSTANCE instance)
{
    const unsigned bindingsBefore = Bindings();
    handle = CreateWindowExW(extendedStyle, className, windowName, style, x, y, width, height, parent, menu, instance,
                             this);
    if (handle != nullptr)
        return true;
    // A window that reached the object before its creation failed was destroyed at once, and its
    // last message has already called OnWindowGone.
    if (Bindings() == bindingsBefore)
        OnWindowGone();
    return false;
}
