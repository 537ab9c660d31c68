#include "tests/driver/WindowQuery.h"

#include "tests/driver/RemoteControls.h"

WindowQuery WindowQuery::OfClass(const std::wstring& name) const
{
    WindowQuery query = *this;
    query.className = name;
    return query;
}

WindowQuery WindowQuery::Captioned(const std::wstring& text) const
{
    WindowQuery query = *this;
    query.caption = text;
    return query;
}

WindowQuery WindowQuery::WithControl(int id) const
{
    WindowQuery query = *this;
    query.control = id;
    return query;
}

WindowQuery WindowQuery::WithoutControl(int id) const
{
    WindowQuery query = *this;
    query.absentControl = id;
    return query;
}

WindowQuery WindowQuery::OwnedBy(HWND window) const
{
    WindowQuery query = *this;
    query.owner = window;
    return query;
}

bool WindowQuery::Matches(HWND window) const
{
    return (className.empty() || ClassOf(window) == className) && (caption.empty() || CaptionOf(window) == caption) &&
           (control == 0 || GetDlgItem(window, control) != nullptr) &&
           (absentControl == 0 || GetDlgItem(window, absentControl) == nullptr) &&
           (owner == nullptr || GetWindow(window, GW_OWNER) == owner);
}

std::string WindowQuery::Describe() const
{
    std::string text = "a " + (className.empty() ? std::string("top-level") : Utf8(className)) + " window";
    if (!caption.empty())
        text += " captioned \"" + Utf8(caption) + "\"";
    if (control != 0)
        text += " with control " + std::to_string(control);
    if (absentControl != 0)
        text += " without control " + std::to_string(absentControl);
    if (owner != nullptr)
        text += " owned by the window it belongs to";
    return text;
}

std::string Utf8(const std::wstring& text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string converted(size, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), converted.data(), size, nullptr, nullptr);
    return converted;
}
