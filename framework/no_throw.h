// Nothing the effect throws may reach the host: a C++ exception crossing a
// plug-in format's C call is undefined behaviour in the host. Every entry the host calls
// runs its body through Guarded, which answers `onThrow` instead (an error
// code, 0, or null). [any thread]
#pragma once

template <typename Result, typename Body>
Result Guarded(Result onThrow, Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return onThrow;
  }
}
