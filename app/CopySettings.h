// The five user choices of a run. The one instance lives in the application object; the command
// line fills it in advance, the main dialog writes it on OK and the copy worker only reads it.
#pragma once

#include <string>

class CommandLine;

struct CopySettings {
    bool deleteSource = false;
    std::wstring source;
    std::wstring destination;
    std::wstring mask = L"*";
    std::wstring separator = L".";
};

// Fills the settings from a split command line: the first two arguments after the program path
// become source and destination (an empty argument leaves its field for the next one); the
// remaining fields get their start values.
void FillCopySettings(const CommandLine& commandLine, CopySettings& settings);
