// Screenshots for a driver: what the screen shows where a window is, saved as a PNG file, so a
// person can look at what the program showed during a test or a demonstration.
#pragma once

#include <windows.h>

#include <string>

// Has the window repainted, then copies the screen inside its rectangle, with `margin` pixels
// around it, and saves that as a PNG; whatever covers the window is in the picture too. Throws on
// failure.
void SaveScreenshot(HWND window, const std::wstring& pngPath, int margin = 8);
