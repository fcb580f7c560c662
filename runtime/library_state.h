#pragma once

#include <memory>

// Each runtime facility keeps its process-wide state in one block made during start-up: a
// value-initialised (zero-filled for plain records) State, handed to the initialiser, if any,
// before it is returned.
template <class State> std::unique_ptr<State> allocLibraryState(void (*initialiser)(State&) = nullptr)
{
    auto state = std::make_unique<State>();
    if (initialiser)
        initialiser(*state);
    return state;
}
