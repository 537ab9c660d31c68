// Stands in a window's procedure chain for an object that left it while a procedure installed
// after the object's still leads to the framework's: it handles nothing, so every message goes on
// to the procedure that the object had replaced. Made by WindowBase; it deletes itself when its
// window is gone.
#pragma once

#include "framework/WindowBase.h"

class PassThroughLayer : public WindowBase {
public:
    void OnWindowGone() override { delete this; }
};
