#include "tests/ui/RunTest.h"

#include "ui/resources/Resource.h"

#include <algorithm>

RunTest::RunTest()
    : source(root / L"from"), destination(root / L"to"), start(root / L"start"), exitRecord(root / L"exit.txt")
{
    MakeFolders(start);
}

std::string RunTest::Content(size_t size, unsigned seed)
{
    std::string block(std::min<size_t>(size, 1 << 16), '\0');
    for (char& byte : block) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    std::string bytes;
    bytes.reserve(size);
    while (bytes.size() < size)
        bytes.append(block, 0, std::min(block.size(), size - bytes.size()));
    return bytes;
}

std::unique_ptr<DrivenProcess> RunTest::StartRun(const std::map<std::wstring, std::wstring>& probeVariables)
{
    std::map<std::wstring, std::wstring> environment = probeVariables;
    environment[ProbeHook::exitRecord] = exitRecord;
    return std::make_unique<DrivenProcess>(FerrixCommand(Quote(source) + L" " + Quote(destination)), start,
                                           environment, true);
}

bool RunTest::ProgressSeenBeforeExit(const DrivenProcess& ferrix)
{
    bool seen = false;
    WaitOrThrow(
        [&] {
            seen = seen || ferrix.FindWindow(WindowQuery().OfClass(L"#32770").WithControl(IDC_PROGRESS_BAR));
            return !ferrix.Running();
        },
        "ferrix.exe to end");
    return seen;
}
