// Properties of the command-line splitter, of the target naming and of the name folding and mask
// matching that it works with, that must hold for any input.
// The fuzzers and the corpus replay test check the same ones on the same text: the input bytes
// are read as 16-bit code units, so an input means the same text where wchar_t has 4 bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Splits the input as a command line and fills the Copy settings from it.
// Returns one line for each property that breaks, empty when all hold.
std::string CheckCommandLineProperties(const uint8_t* data, size_t size);

// Reads the input as source, destination, separator and mask, each ended by a null unit, and the
// entry (the rest); builds the naming rule and the entry's paths, and folds and matches the entry's
// own name against the mask.
// Returns one line for each property that breaks, empty when all hold.
std::string CheckNamingProperties(const uint8_t* data, size_t size);
