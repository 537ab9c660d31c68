// Prepares a process-wide container (`Container::shared`) at start-up and tears it down at exit.
// Defined as a static object next to the container, with its init_priority from StaticOrder.h.
// The container itself has no destructor, so it outlives this object and keeps serving whatever
// the rest of the exit sequence destroys.
#pragma once

template <typename Container>
class SharedLifetime {
public:
    SharedLifetime() { Container::shared.Initialise(); }
    ~SharedLifetime() { Container::shared.Teardown(); }
    SharedLifetime(const SharedLifetime&) = delete;
    SharedLifetime& operator=(const SharedLifetime&) = delete;
};
