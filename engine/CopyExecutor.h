// The executing part of a copy run: carries out what the copy plan decided for each file, with no
// rules of its own beyond what the platform answers: makes the target's folders, copies the file
// whole, and in a move deletes the source only while its folder is still the one listed and it is
// still the very file copied. Owned by the copy worker for its run.
#pragma once

#include "engine/CopyPlan.h"
#include "engine/FileLister.h"
#include "engine/HeldFolder.h"
#include "engine/RunReport.h"

#include <cstdint>
#include <optional>

class CopyExecutor {
public:
    struct Outcome {
        // Why the file was not copied or, in a move, its source kept; none when all went as planned.
        std::optional<RunReport::Reason> shortfall;
        bool sourceGone = false; // the source was deleted and its name is gone
    };

    explicit CopyExecutor(const FileLister& listing) : listing(listing) {}

    // Carries out the step for a file of the listed folder at `folder`.
    Outcome CarryOut(const CopyStep& step, std::uint32_t folder);

private:
    const FileLister& listing;
    HeldFolder heldFolder;
};
