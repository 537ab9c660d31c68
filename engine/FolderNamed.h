// What a folder text that the user typed names, one answer for the main dialog's check and for
// the run, so that the run writes into the very folder that the dialog found or offered to create.
#pragma once

#include <string>

// The folder that a folder text names. A bare drive, a letter and a colon ("E:"), names that
// drive's root ("E:\"), as a user typing it means, not the drive's current directory, which for a
// program started from a removable drive is the program's own folder. A text in the extended form
// ("\\?\...") is kept as it is: the platform takes it without resolving it. Any other text as the
// platform's file calls resolve it (FullPath): made full against the current directory, slashes
// turned into backslashes, trailing dots and blanks dropped from the last name. Empty when the
// platform cannot resolve it.
std::wstring FolderNamed(const std::wstring& folder);
