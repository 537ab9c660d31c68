// What the application tells the user once a run's progress dialog has closed: which files the
// run passed over and why, in plain words, or that the mask matched no file. A run that gathered
// every file it listed has nothing to tell.
#pragma once

#include "engine/RunReport.h"

#include <string>

// The text of the closing message box, empty when there is nothing to tell. `source` is the
// source folder as the run reached it, `mask` the mask that it listed with.
std::wstring ClosingMessage(const RunReport& report, const std::wstring& source, const std::wstring& mask);
