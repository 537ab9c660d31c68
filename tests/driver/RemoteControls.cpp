#include "tests/driver/RemoteControls.h"

#include "tests/driver/Wait.h"

#include <commctrl.h>

#include <stdexcept>

namespace {

// A message that must be answered: the answer, or an exception when the window's thread has not
// answered within the driver's default wait.
LRESULT SendAndWait(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what)
{
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, defaultWait, &answer))
        throw std::runtime_error(std::string(what) + " got no answer within " + std::to_string(defaultWait) +
                                 " ms (error " + std::to_string(GetLastError()) + ")");
    return static_cast<LRESULT>(answer);
}

// Memory in another process, released when the object goes away.
class RemoteMemory {
public:
    RemoteMemory(HWND window, size_t size)
    {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process != nullptr)
            address = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        if (address == nullptr)
            throw std::runtime_error("no memory could be lent in the window's process (error " +
                                     std::to_string(GetLastError()) + ")");
    }
    ~RemoteMemory()
    {
        VirtualFreeEx(process, address, 0, MEM_RELEASE);
        CloseHandle(process);
    }
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;

    void Write(size_t offset, const void* bytes, size_t size)
    {
        if (!WriteProcessMemory(process, static_cast<char*>(address) + offset, bytes, size, nullptr))
            throw std::runtime_error("WriteProcessMemory failed with error " + std::to_string(GetLastError()));
    }
    void Read(size_t offset, void* bytes, size_t size) const
    {
        if (!ReadProcessMemory(process, static_cast<const char*>(address) + offset, bytes, size, nullptr))
            throw std::runtime_error("ReadProcessMemory failed with error " + std::to_string(GetLastError()));
    }
    char* Address() const { return static_cast<char*>(address); }

private:
    HANDLE process = nullptr;
    void* address = nullptr;
};

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM parameter)
{
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search.processId && IsWindowVisible(window))
        search.found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> TopWindowsOf(DWORD processId)
{
    WindowSearch search{processId, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::wstring CaptionOf(HWND window)
{
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

std::wstring TextOf(HWND control)
{
    const LRESULT length = SendAndWait(control, WM_GETTEXTLENGTH, 0, 0, "WM_GETTEXTLENGTH");
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied =
        SendAndWait(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), "WM_GETTEXT");
    text.resize(static_cast<size_t>(copied));
    return text;
}

void SetText(HWND control, const std::wstring& text)
{
    SendAndWait(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), "WM_SETTEXT");
}

HWND Control(HWND dialog, int id)
{
    const HWND control = GetDlgItem(dialog, id);
    if (control == nullptr)
        throw std::runtime_error("the window has no control " + std::to_string(id));
    return control;
}

bool IsChecked(HWND checkBox)
{
    return SendAndWait(checkBox, BM_GETCHECK, 0, 0, "BM_GETCHECK") == BST_CHECKED;
}

bool IsTopmost(HWND window)
{
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

bool IsAbove(HWND upper, HWND lower)
{
    for (HWND below = GetWindow(upper, GW_HWNDNEXT); below != nullptr; below = GetWindow(below, GW_HWNDNEXT))
        if (below == lower)
            return true;
    return false;
}

void PostClick(HWND button)
{
    PostMessageW(button, BM_CLICK, 0, 0);
}

void PostKey(HWND window, UINT virtualKey)
{
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    HWND target = window;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread) && thread.hwndFocus != nullptr &&
        (thread.hwndFocus == window || IsChild(window, thread.hwndFocus)))
        target = thread.hwndFocus;
    const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(target, WM_KEYDOWN, virtualKey, scanCode | 1);
    PostMessageW(target, WM_KEYUP, virtualKey, scanCode | 1 | 0xC0000000);
}

void PostClose(HWND window)
{
    PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void Settle(HWND window)
{
    SendAndWait(window, WM_NULL, 0, 0, "WM_NULL");
    SendAndWait(window, WM_NULL, 0, 0, "WM_NULL");
}

std::wstring SelectedTreeItemText(HWND tree)
{
    const LRESULT item = SendAndWait(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, "TVM_GETNEXTITEM");
    if (item == 0)
        return {};
    constexpr int capacity = 520;
    RemoteMemory memory(tree, sizeof(TVITEMW) + capacity * sizeof(wchar_t));
    TVITEMW request{};
    request.mask = TVIF_TEXT;
    request.hItem = reinterpret_cast<HTREEITEM>(item);
    request.pszText = reinterpret_cast<wchar_t*>(memory.Address() + sizeof(TVITEMW));
    request.cchTextMax = capacity;
    memory.Write(0, &request, sizeof request);
    if (!SendAndWait(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(memory.Address()), "TVM_GETITEMW"))
        return {};
    std::vector<wchar_t> text(capacity);
    memory.Read(sizeof(TVITEMW), text.data(), capacity * sizeof(wchar_t));
    text.back() = L'\0';
    return text.data();
}

bool SelectParentTreeItem(HWND tree)
{
    const LRESULT item = SendAndWait(tree, TVM_GETNEXTITEM, TVGN_CARET, 0, "TVM_GETNEXTITEM");
    const LRESULT parent = item ? SendAndWait(tree, TVM_GETNEXTITEM, TVGN_PARENT, item, "TVM_GETNEXTITEM") : 0;
    return parent != 0 && SendAndWait(tree, TVM_SELECTITEM, TVGN_CARET, parent, "TVM_SELECTITEM") != 0;
}
