#pragma once

#include <functional>

namespace qel {

// Runs `handler`; an exception that escapes it is shown through the Dialogs service
// (showException) and swallowed, so the event loop goes on. Returns false when the
// handler ended with an exception.
bool guarded(const std::function<void()>& handler) noexcept;

} // namespace qel
