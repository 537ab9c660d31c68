// The process's command line split into at most MAX_ARGS tokens. The tokens point into a writable
// copy of the text that this record owns, so they live exactly as long as the record.
#pragma once

#include "engine/CopySettings.h"

#include <memory>

class CommandLine {
public:
    static constexpr int MAX_ARGS = 128;

    // Splits the text: tokens are separated by blanks and tabs; a token that starts with a double
    // quote runs to the next double quote. There is no escape character. A null text gives no tokens.
    explicit CommandLine(const wchar_t* text);

    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    int argc = 0;
    // The slot after the last token is always null.
    wchar_t* argv[MAX_ARGS + 1] = {};
    std::unique_ptr<wchar_t[]> buffer;
};

// Fills the settings from a split command line: the first two arguments after the program path
// become source and destination (an empty argument leaves its field for the next one); the
// remaining fields get their start values.
void FillCopySettings(const CommandLine& commandLine, CopySettings& settings);
