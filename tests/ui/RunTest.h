// The fixture of the whole-run tests: a source, a destination and a start folder in the test's
// folder, ferrix.exe started on them in the start folder with the probe recording its current
// directory at exit, and file contents to fill trees with. Each test owns one.
#pragma once

#include "tests/ui/FerrixTest.h"

#include "tests/driver/ProbeHook.h"

#include <map>
#include <memory>
#include <string>

class RunTest : public FerrixTest {
protected:
    using Files = std::map<std::wstring, std::string>;

    RunTest();

    // Bytes that differ from file to file and, within 64 KiB, from position to position.
    static std::string Content(size_t size, unsigned seed);

    // ferrix.exe on `source` and `destination`, started in `start`, with the probe recording its
    // current directory at exit in `exitRecord` and these further probe variables.
    std::unique_ptr<DrivenProcess> StartRun(const std::map<std::wstring, std::wstring>& probeVariables = {});
    // Waits for the process to end and tells whether a progress dialog was seen meanwhile.
    static bool ProgressSeenBeforeExit(const DrivenProcess& ferrix);

    const std::wstring source;
    const std::wstring destination;
    const std::wstring start;
    const std::wstring exitRecord;
};
