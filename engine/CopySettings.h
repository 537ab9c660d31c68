// The five user choices of a run, a plain value. The one instance lives in the application object;
// the command line fills it in advance, the main dialog writes it on OK, and the copy worker takes
// its own copy of it.
#pragma once

#include <string>

struct CopySettings {
    bool deleteSource = false;
    std::wstring source;
    std::wstring destination;
    std::wstring mask = L"*";
    std::wstring separator = L".";
};
