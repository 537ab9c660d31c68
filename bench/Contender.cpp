#include "bench/Contender.h"

#include "tests/driver/DrivenProcess.h"
#include "tests/driver/RemoteControls.h"
#include "tests/driver/Wait.h"
#include "ui/resources/Resource.h"

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <iterator>
#include <stdexcept>

namespace {

using Clock = std::chrono::steady_clock;

// Far longer than any contender takes on the largest workload, so that only a fault reaches it.
constexpr DWORD runWait = 30 * 60 * 1000;

double MillisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// One command-line argument in double quotes. Backslashes in front of the closing quote are
// doubled, since the usual splitting reads `\"` as a quote inside the argument.
std::wstring Argument(const std::wstring& text)
{
    const size_t kept = text.find_last_not_of(L'\\') + 1; // 0 when the text is all backslashes
    return L"\"" + text + std::wstring(text.size() - kept, L'\\') + L"\"";
}

std::string Failure(const char* what)
{
    return std::string(what) + " failed with error " + std::to_string(GetLastError());
}

// A process being timed: its end, its exit code and its memory counters, which Wine fills from
// the host's accounting of the process (VmRSS and VmHWM).
class TimedProcess {
public:
    explicit TimedProcess(HANDLE process) : handle(process) {}
    explicit TimedProcess(DWORD processId)
        : handle(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ | SYNCHRONIZE, FALSE, processId))
    {
        if (handle == nullptr)
            throw std::runtime_error(Failure("OpenProcess"));
    }
    ~TimedProcess() { CloseHandle(handle); }
    TimedProcess(const TimedProcess&) = delete;
    TimedProcess& operator=(const TimedProcess&) = delete;

    std::int64_t WorkingSet() const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        return GetProcessMemoryInfo(handle, &counters, sizeof counters)
                   ? static_cast<std::int64_t>(counters.WorkingSetSize) : -1;
    }

    // Keeps the last peak working set that could be read; the peak only grows, so the last
    // reading before the exit is the run's peak.
    void ReadPeak(RunFigures& figures) const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        if (GetProcessMemoryInfo(handle, &counters, sizeof counters))
            figures.peakMemory = static_cast<std::int64_t>(counters.PeakWorkingSetSize);
    }

    // Waits for the exit, reading the peak every 100 ms meanwhile; sets the run's time and
    // throws unless the process ended within the bound with exit code 0.
    void WaitForSuccess(RunFigures& figures, Clock::time_point start, const char* program) const
    {
        const ULONGLONG end = GetTickCount64() + runWait;
        for (;;) {
            const DWORD waited = WaitForSingleObject(handle, 100);
            if (waited == WAIT_OBJECT_0)
                break;
            if (waited != WAIT_TIMEOUT || GetTickCount64() >= end)
                throw std::runtime_error(std::string(program) + " did not end within " + std::to_string(runWait) +
                                         " ms");
            ReadPeak(figures);
        }
        figures.milliseconds = MillisecondsSince(start);
        DWORD code = 0;
        GetExitCodeProcess(handle, &code);
        if (code != 0)
            throw std::runtime_error(std::string(program) + " exited with code " + std::to_string(code));
    }

private:
    HANDLE handle;
};

// Waits until the process's progress dialog shows a numbered caption, that is until the listing
// and everything else before the first copy are done; the milliseconds since `start`, or -1 when
// the dialog closed before a numbered caption could be seen (the caption is polled once a
// millisecond).
double WaitForFirstFile(const DrivenProcess& process, Clock::time_point start)
{
    const HWND progress = process.WaitForWindow(WindowQuery().OfClass(L"#32770").WithControl(IDC_PROGRESS_BAR), runWait);
    bool numbered = false;
    WaitOrThrow(
        [&] {
            numbered = CaptionOf(progress).find(L'(') != std::wstring::npos;
            return numbered || !IsWindow(progress);
        },
        "the progress dialog's first numbered caption", runWait);
    return numbered ? MillisecondsSince(start) : -1;
}

// A program that opens a main dialog of Ferrix's template (ferrix.exe, or floor_copy.exe in its
// dialog mode) run as a person would: the separator typed into its edit, OK pressed, and timed
// from the press to the exit.
RunFigures RunFromMainDialog(const std::wstring& commandLine, const std::wstring& separator, const char* program)
{
    DrivenProcess process(commandLine);
    const HWND mainDialog =
        process.WaitForWindow(WindowQuery().OfClass(L"#32770").Captioned(L"Ferrix").WithControl(IDC_SOURCE_EDIT));
    SetText(Control(mainDialog, IDC_SEPARATOR_EDIT), separator);
    const TimedProcess timed(process.Id());
    RunFigures figures;
    figures.startMemory = timed.WorkingSet();
    const Clock::time_point start = Clock::now();
    PostClick(Control(mainDialog, IDOK));
    figures.listingMilliseconds = WaitForFirstFile(process, start);
    timed.ReadPeak(figures);
    timed.WaitForSuccess(figures, start, program);
    return figures;
}

// A named event of this process for floor_copy.exe to open, closed when the object goes away.
class NamedEvent {
public:
    explicit NamedEvent(const std::wstring& eventName)
        : name(eventName), handle(CreateEventW(nullptr, TRUE, FALSE, eventName.c_str()))
    {
        if (handle == nullptr)
            throw std::runtime_error(Failure("CreateEventW"));
    }
    ~NamedEvent() { CloseHandle(handle); }
    NamedEvent(const NamedEvent&) = delete;
    NamedEvent& operator=(const NamedEvent&) = delete;

    const std::wstring name;
    const HANDLE handle;
};

// floor_copy.exe without a window: started, told to go once it is ready, timed from there.
RunFigures RunPlainFloor(const Programs& programs, const std::wstring& source, const std::wstring& destination,
                         const std::wstring& separator)
{
    static unsigned sequence = 0;
    const std::wstring tag = std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++sequence);
    const NamedEvent ready(L"ferrix-bench-ready-" + tag);
    const NamedEvent go(L"ferrix-bench-go-" + tag);
    DrivenProcess floor(Argument(programs.floorCopy) + L" plain " + Argument(source) + L" " + Argument(destination) +
                        L" " + Argument(separator) + L" " + ready.name + L" " + go.name);
    const TimedProcess timed(floor.Id());
    WaitOrThrow([&] { return WaitForSingleObject(ready.handle, 0) == WAIT_OBJECT_0 || !floor.Running(); },
                "floor_copy.exe to signal that it has started");
    if (!floor.Running())
        throw std::runtime_error("floor_copy.exe ended before it was told to start");
    RunFigures figures;
    figures.startMemory = timed.WorkingSet();
    const Clock::time_point start = Clock::now();
    SetEvent(go.handle);
    timed.WaitForSuccess(figures, start, "floor_copy.exe");
    return figures;
}

// xcopy's output, one line per file, goes to NUL: the run measures copying, not a console.
RunFigures RunXcopy(const Programs& programs, const std::wstring& source, const std::wstring& destination)
{
    SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
    const HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   &inheritable, OPEN_EXISTING, 0, nullptr);
    if (nul == INVALID_HANDLE_VALUE)
        throw std::runtime_error(Failure("CreateFileW of NUL"));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    std::wstring line = Argument(programs.xcopy) + L" " + Argument(source) + L" " + Argument(destination) + L" /s /e /y";
    PROCESS_INFORMATION started{};
    RunFigures figures;
    const Clock::time_point start = Clock::now();
    const BOOL created =
        CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &started);
    const std::string failure = created ? std::string() : Failure("CreateProcessW of xcopy");
    CloseHandle(nul);
    if (!created)
        throw std::runtime_error(failure);
    CloseHandle(started.hThread);
    const TimedProcess timed(started.hProcess);
    timed.WaitForSuccess(figures, start, "xcopy");
    return figures;
}

} // namespace

namespace {

struct Names {
    Contender contender;
    const wchar_t* name;
    const wchar_t* shortName;
};

constexpr Names names[] = {
    {Contender::ferrix, L"ferrix.exe", L"ferrix"},
    {Contender::baseline, L"baseline ferrix.exe", L"baseline"},
    {Contender::dialogFloor, L"floor with dialog", L"dialog"},
    {Contender::plainFloor, L"floor, no window", L"plain"},
    {Contender::xcopy, L"xcopy /s /e /y", L"xcopy"},
};

const Names& NamesOf(Contender contender)
{
    return *std::find_if(std::begin(names), std::end(names),
                         [&](const Names& entry) { return entry.contender == contender; });
}

} // namespace

const wchar_t* NameOf(Contender contender)
{
    return NamesOf(contender).name;
}

const wchar_t* ShortNameOf(Contender contender)
{
    return NamesOf(contender).shortName;
}

RunFigures RunContender(Contender contender, const Programs& programs, const std::wstring& source,
                        const std::wstring& destination, const std::wstring& separator)
{
    switch (contender) {
    case Contender::ferrix:
        return RunFromMainDialog(Argument(programs.ferrix) + L" " + Argument(source) + L" " + Argument(destination),
                                 separator, "ferrix.exe");
    case Contender::baseline:
        return RunFromMainDialog(Argument(programs.baseline) + L" " + Argument(source) + L" " +
                                     Argument(destination),
                                 separator, "the baseline ferrix.exe");
    case Contender::dialogFloor:
        return RunFromMainDialog(Argument(programs.floorCopy) + L" dialog " + Argument(source) + L" " +
                                     Argument(destination) + L" " + Argument(separator),
                                 separator, "floor_copy.exe");
    case Contender::plainFloor:
        return RunPlainFloor(programs, source, destination, separator);
    case Contender::xcopy:
        return RunXcopy(programs, source, destination);
    }
    throw std::logic_error("no such contender");
}
