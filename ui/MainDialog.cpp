#include "ui/MainDialog.h"

#include "engine/CopySettings.h"
#include "engine/CreateDirectoryPath.h"
#include "engine/FolderNamed.h"
#include "engine/NamingRule.h"
#include "engine/PlatformPath.h"
#include "framework/ApplicationBase.h"
#include "framework/StaticOrder.h"
#include "ui/resources/Resource.h"

#include <shlobj.h>

#include <cstdarg>
#include <cwchar>

// Built first and torn down last of the program's static objects, before the application object:
// it has to exist before anything can open a folder browser and must not go away under one.
// C++ leaves the order across source files open, hence the number from StaticOrder.h.
std::wstring browseStartFolder __attribute__((init_priority(BROWSE_START_FOLDER_INIT_PRIORITY)));

namespace {

const wchar_t* const caption = L"Ferrix";

// The attributes of what a folder text names (FolderNamed), the folder that the run takes;
// INVALID_FILE_ATTRIBUTES when nothing is there.
DWORD AttributesOfFolderNamed(const std::wstring& path)
{
    return GetFileAttributesW(PlatformPath(FolderNamed(path)).c_str());
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = AttributesOfFolderNamed(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = AttributesOfFolderNamed(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Makes the folder that a folder text names, with its missing parents, as the run would; true
// only when the folder is there afterwards, since CreateDirectoryPath counts a file of that name
// as present.
bool MakeFolderNamed(const std::wstring& path)
{
    const std::wstring folder = PlatformPath(FolderNamed(path), plainFolderLimit);
    return CreateDirectoryPath(EnsureTrailingDelimiter(folder)) && IsFolder(path);
}

// Item-identifier lists come from the shell's allocator, which is the COM task allocator.
void FreeItemList(LPITEMIDLIST list)
{
    CoTaskMemFree(list);
}

} // namespace

MainDialog::MainDialog(CopySettings& settings)
    : Dialog(MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow()), settings(settings)
{
}

bool MainDialog::OnCommand(HWND, UINT id, UINT)
{
    switch (id) {
    case IDOK:
        AcceptSettings();
        break;
    case IDCANCEL:
        OnClose();
        break;
    case IDC_BROWSE_SOURCE:
        BrowseInto(edits[0], L"Source folder:");
        break;
    case IDC_BROWSE_DESTINATION:
        BrowseInto(edits[1], L"Destination folder:");
        break;
    }
    return true;
}

bool MainDialog::OnInitDialog()
{
    SendMessageW(handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(caption));
    const HICON icon = LoadIconW(instanceHandle, MAKEINTRESOURCEW(IDI_APP));
    SendMessageW(handle, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

    // Wrappers of the controls, never subclassed; the check box opens unchecked, as
    // `deleteSource` starts false.
    const std::array<std::wstring*, 4> texts = EditedTexts();
    for (int index = 0; index < 4; ++index) {
        edits[index].handle = GetDlgItem(handle, IDC_SOURCE_EDIT + index);
        SendMessageW(edits[index].handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(texts[index]->c_str()));
    }
    deleteCheck.handle = GetDlgItem(handle, IDC_DELETE_CHECK);
    return true;
}

void MainDialog::ShowMessage(const wchar_t* format, ...)
{
    // _vsnwprintf writes at most the count it is given and no terminator when it has to cut.
    wchar_t text[1024];
    va_list arguments;
    va_start(arguments, format);
    _vsnwprintf(text, 1023, format, arguments);
    va_end(arguments);
    text[1023] = L'\0';
    MessageBoxW(handle, text, caption, MB_OK | MB_ICONINFORMATION);
}

std::wstring MainDialog::GetControlText(const Window& control)
{
    const LRESULT length = SendMessageW(control.handle, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const LRESULT copied = SendMessageW(control.handle, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(copied));
    return text;
}

std::wstring MainDialog::BrowseForFolder(const wchar_t* title, std::wstring current)
{
    browseStartFolder = current;
    LPITEMIDLIST drives = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(handle, CSIDL_DRIVES, &drives)))
        return current;

    // The classic browser: no new dialog style, edit box or new-folder button.
    wchar_t name[520] = {};
    BROWSEINFOW info{};
    info.hwndOwner = handle;
    info.pidlRoot = drives;
    info.pszDisplayName = name;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    info.lpfn = BrowseCallback;
    info.lParam = 0;
    LPITEMIDLIST picked = SHBrowseForFolderW(&info);
    FreeItemList(drives);
    if (picked != nullptr) {
        // The buffer holds the picked item's display name until the conversion replaces it; a
        // conversion that fails keeps the folder the browse started from.
        if (SHGetPathFromIDListW(picked, name))
            current = name;
        FreeItemList(picked);
    }
    return current;
}

int CALLBACK MainDialog::BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM)
{
    if (message == BFFM_INITIALIZED)
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(browseStartFolder.c_str()));
    return 0;
}

void MainDialog::AcceptSettings()
{
    // Stored before the checks, so that after a rejected OK the settings hold the texts as edited.
    const std::array<std::wstring*, 4> texts = EditedTexts();
    for (int index = 0; index < 4; ++index)
        *texts[index] = GetControlText(edits[index]);
    settings.deleteSource = SendMessageW(deleteCheck.handle, BM_GETCHECK, 0, 0) == BST_CHECKED;

    if (settings.source.empty()) {
        Reject(edits[0], L"Missing source folder");
        return;
    }
    if (settings.destination.empty()) {
        Reject(edits[1], L"Missing destination folder");
        return;
    }
    if (settings.separator.find_first_of(L"*?:|\"<>") != std::wstring::npos) {
        Reject(edits[3], L"Invalid separator!\nPlease don't use *?:|\"<> chars.");
        return;
    }
    if (!IsFolder(settings.source)) {
        Reject(edits[0], L"Source folder doesn't exist!");
        return;
    }
    if (IsFile(settings.destination)) {
        Reject(edits[1], L"Destination is a file, not a folder!");
        return;
    }
    // A missing destination is made here, so that one that cannot be made is told while the
    // settings can still be mended; the copy worker makes it again at its start, as it must when
    // the folder has gone meanwhile.
    if (!IsFolder(settings.destination)) {
        if (MessageBoxW(handle, L"Destination folder doesn't exist!\nDo you want to create destination folder?",
                        caption, MB_YESNO | MB_ICONQUESTION) == IDNO)
            return;
        if (!MakeFolderNamed(settings.destination)) {
            Reject(edits[1], L"Cannot create destination folder!");
            return;
        }
    }
    End(1);
}

void MainDialog::Reject(const Window& edit, const wchar_t* message)
{
    ShowMessage(L"%ls", message);
    // The dialog manager's own move, as Tab makes it: the default button follows and the edit's
    // text is selected.
    SendMessageW(handle, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit.handle), TRUE);
}

std::array<std::wstring*, 4> MainDialog::EditedTexts()
{
    return {&settings.source, &settings.destination, &settings.mask, &settings.separator};
}

void MainDialog::BrowseInto(Window& edit, const wchar_t* title)
{
    const std::wstring picked = BrowseForFolder(title, GetControlText(edit));
    if (!picked.empty())
        SendMessageW(edit.handle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(picked.c_str()));
}
