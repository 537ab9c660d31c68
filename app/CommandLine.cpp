#include "app/CommandLine.h"

#include <cwchar>

namespace {

bool IsBlank(wchar_t c)
{
    return c == L' ' || c == L'\t';
}

} // namespace

CommandLine::CommandLine(const wchar_t* text)
{
    if (text == nullptr)
        return;
    const size_t length = std::wcslen(text);
    buffer = std::make_unique<wchar_t[]>(length + 1);
    std::wmemcpy(buffer.get(), text, length + 1);

    wchar_t* scan = buffer.get();
    while (argc < MAX_ARGS) {
        while (IsBlank(*scan))
            ++scan;
        if (*scan == L'\0')
            break;

        wchar_t* token;
        if (*scan == L'"') {
            token = ++scan;
            while (*scan != L'\0' && *scan != L'"')
                ++scan;
        } else {
            token = scan;
            while (*scan != L'\0' && !IsBlank(*scan))
                ++scan;
        }
        argv[argc++] = token;
        argv[argc] = nullptr;

        // The closing quote or blank becomes the token's terminator; text right behind a closing
        // quote starts the next token.
        if (*scan != L'\0')
            *scan++ = L'\0';
    }
}

void FillCopySettings(const CommandLine& commandLine, CopySettings& settings)
{
    settings = CopySettings{};
    // Index 0 is the program's own path, whatever it holds.
    for (int index = 1; index < commandLine.argc; ++index) {
        const wchar_t* token = commandLine.argv[index];
        if (settings.source.empty())
            settings.source = token;
        else if (settings.destination.empty())
            settings.destination = token;
    }
}
