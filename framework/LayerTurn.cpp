#include "framework/LayerTurn.h"

namespace {

// Only the thread that owns a window routes its messages, so each thread keeps its own turns.
thread_local LayerTurn* innermost = nullptr;

} // namespace

LayerTurn::LayerTurn(WindowBase* layer, HWND window, UINT message, WNDPROC previousProc, WindowBase* next)
    : layer(layer), window(window), message(message), previousProc(previousProc), next(next), outer(innermost)
{
    innermost = this;
}

LayerTurn::~LayerTurn()
{
    innermost = outer;
}

LayerTurn* LayerTurn::Innermost()
{
    return innermost;
}

void LayerTurn::Forget(const WindowBase* object)
{
    for (LayerTurn* turn = innermost; turn != nullptr; turn = turn->outer) {
        if (turn->layer == object)
            turn->layer = nullptr;
        if (turn->next == object)
            turn->next = nullptr;
    }
}

bool LayerTurn::HandOver(const WindowBase* object, WindowBase* successor)
{
    bool found = false;
    for (LayerTurn* turn = innermost; turn != nullptr; turn = turn->outer)
        if (turn->next == object) {
            turn->next = successor;
            found = true;
        }
    return found;
}

LRESULT LayerTurn::PassOn(WPARAM wParam, LPARAM lParam)
{
    passedOn = true;
    if (previousProc == nullptr)
        return DefWindowProcW(window, message, wParam, lParam);
    passing = true;
    claimed = false;
    const LRESULT result = CallWindowProcW(previousProc, window, message, wParam, lParam);
    passing = false;
    return result;
}

bool LayerTurn::PassesOn(HWND window, UINT message) const
{
    return passing && !claimed && this->window == window && this->message == message;
}

WindowBase* LayerTurn::Claim()
{
    claimed = true;
    return next;
}
