// One timed run of one contender of the copy benchmark on one source tree: ferrix.exe worked
// through its windows by the driver library (or another build of it, to compare a change), the two
// floors of floor_copy.exe, or the platform's xcopy. Each run starts its own process and leaves
// nothing running.
#pragma once

#include <cstdint>
#include <string>

enum class Contender { ferrix, baseline, dialogFloor, plainFloor, xcopy };

// Every contender, in the order in which they run in turn.
inline constexpr Contender allContenders[] = {Contender::ferrix, Contender::baseline, Contender::dialogFloor,
                                              Contender::plainFloor, Contender::xcopy};

// The contender's name in the table.
const wchar_t* NameOf(Contender contender);
// Its short name, for folder names and the benchmark's --contenders: "ferrix", "baseline",
// "dialog", "plain", "xcopy".
const wchar_t* ShortNameOf(Contender contender);

// Where the programs are, as Windows paths; `baseline` is another build of ferrix.exe, or empty.
struct Programs {
    std::wstring ferrix;
    std::wstring baseline;
    std::wstring floorCopy;
    std::wstring xcopy;
};

struct RunFigures {
    // From the OK press (ferrix.exe, the floor with dialogs), the start signal (the floor without
    // a window) or the process's start (xcopy) to the process's exit.
    double milliseconds = 0;
    // From the same moment until the progress dialog first shows a numbered caption; negative
    // where there is no such caption (the plain floor, xcopy).
    double listingMilliseconds = -1;
    // The process's working set at that moment and its peak working set, last read before it
    // exited (the platform's memory counters of the process, read from outside); negative where
    // they could not be read.
    std::int64_t startMemory = -1;
    std::int64_t peakMemory = -1;
    // The host's load average over the last minute when the run started; negative where unknown.
    double hostLoad = -1;
};

// Copies `source` into the empty folder `destination` with the separator (Ferrix and the floors)
// or as a tree (xcopy, which knows no separator). Throws std::runtime_error, saying what went
// wrong, when the program cannot be started, does not behave as driven or exits with a failure.
RunFigures RunContender(Contender contender, const Programs& programs, const std::wstring& source,
                        const std::wstring& destination, const std::wstring& separator);
