// What a copy run did not do of what the user asked: every listed file that it did not copy and,
// in a move, every source that it kept, each with the reason the run knows; and the folders whose
// files it could not see. Filled by the copy worker, told by the application after the run.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct RunReport {
    enum class Reason {
        // The copy plan's decisions.
        ReservedName,          // the target's name is a device's (CON, NUL, COM1, ...)
        UnusableName,          // Windows would rewrite or misread it (a colon, a trailing dot or blank)
        OutsideDestination,    // the target would lie outside the destination
        WouldOverwriteSource,  // the target is a listed file not yet copied (or kept)
        BehindLink,            // a move keeps a source reached through a folder link
        SameTargetLater,       // a move keeps a source whose copy a later file of the same target replaces
        // What carrying a decision out met.
        FolderChanged,         // a move's source folder is no longer the folder listed
        FolderNotMade,         // the target's folder could not be made
        ReadOnlyTarget,        // a read-only file of the target's name is in the destination
        TargetIsFolder,        // a folder of the target's name is there
        TargetHasOtherName,    // the target's name reaches a file of another name (its short name)
        TargetInUse,           // the file of the target's name is in use and cannot be replaced
        DiskFull,              // the destination's volume is full
        NameTooLong,           // the target's path is too long for the destination
        SourceUnreadable,      // the source could not be read
        CopyFailed,            // any other failure of the copy
        ChangedAfterCopy,      // a move keeps a source that changed after its copy
        NotDeleted,            // a move keeps a source that could not be deleted
    };
    struct PassedOver {
        std::wstring entry; // as listed, relative to the source folder
        Reason reason;
    };

    size_t listed = 0;           // the files that the listing found
    bool move = false;
    std::vector<PassedOver> passedOver;
    std::vector<std::wstring> unreadFolders; // as listed; "" is the source folder itself
};
