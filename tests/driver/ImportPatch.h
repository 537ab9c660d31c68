// Redirects a module's calls of one imported function to a replacement, by rewriting the entry of
// the module's import table. For test probes that wrap a platform call of a program under test
// (which links its runtime statically, so every kernel32 call goes through that table).
#pragma once

#include <windows.h>

// Replaces the import of `function` from `dll` (matched without regard to case) in `module`; the
// entry's previous value, the real function, goes to `original`. False when the module does not
// import it.
bool PatchImport(HMODULE module, const char* dll, const char* function, void* replacement, void** original);
