// The body of one copy run, on a thread of its own: lists the source tree, decides for every listed
// file what the run does with it (CopyPlan), carries that out (CopyExecutor) and tells its progress
// and, at the end, what it passed over. Everything it holds is its own and is released when it
// returns.
#pragma once

#include "engine/CopyProgress.h"
#include "engine/CopySettings.h"

#include <windows.h>

#include <atomic>

// Every source, the mask's folders included, is reached from the settings' source folder, which
// must be a full path when the current directory is not that folder; a relative destination
// resolves against the current directory. Checks `cancelRequested` before each file, and ends
// with `progress.Finish` when it has finished or been cancelled, touching neither the progress nor
// `cancelRequested` afterwards. Returns 0.
DWORD CopyWorker(CopyProgress& progress, const std::atomic<bool>& cancelRequested, CopySettings settings);
