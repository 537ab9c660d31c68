// A window of the framework's own class for tests: records every message number that reaches
// PreviewMessage and destroys its window when the test drops the object. Owned by the test.
#pragma once

#include "framework/Window.h"

#include <vector>

class ProbeWindow : public Window {
public:
    ~ProbeWindow() override
    {
        if (handle != nullptr && IsWindow(handle))
            DestroyWindow(handle);
    }

    bool PreviewMessage(UINT message, WPARAM, LPARAM, LRESULT&) override
    {
        previewed.push_back(message);
        return false;
    }

    std::vector<UINT> previewed;
};
