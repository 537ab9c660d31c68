// Where a copy run tells what it does, for whoever shows it; the engine's own interface, so that
// the engine knows nothing of dialogs. Every call comes from the worker's thread, in this order:
// ShowCopying and SetRange once the listing is done, SetPosition(0), then for each file ShowFile
// and SetPosition, and Finish last. Each call returns once it has been shown.
#pragma once

#include "engine/RunReport.h"

#include <string>

class CopyProgress {
public:
    // The listing is done: the labels of the copying phase.
    virtual void ShowCopying() = 0;
    // The bar's range, from 0 to the number of listed files.
    virtual void SetRange(int count) = 0;
    virtual void SetPosition(int position) = 0;
    // File `number` (from 1) of `count`: where it comes from and where it goes.
    virtual void ShowFile(int number, int count, const std::wstring& from, const std::wstring& to) = 0;
    // The run is over, with what it passed over. The run touches nothing of its progress afterwards.
    virtual void Finish(RunReport report) = 0;

protected:
    ~CopyProgress() = default;
};
