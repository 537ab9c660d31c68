#include "app/CopySettings.h"

#include "app/CommandLine.h"

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
