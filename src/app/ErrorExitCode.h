#pragma once
// The exit code of an error that ended an action.

#include <exception>

namespace tarnwick {

// A declined elevation prompt, a running instance that did not answer, adapters that could not be listed,
// or a failed switch.
int ExitCodeOf(std::exception_ptr Error) noexcept;

} // namespace tarnwick
