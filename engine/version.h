// The effect's identity and version, written once: the effect record, the
// Windows version resource of every module (framework/version_win32.rc.in,
// which the resource compiler reads with RC_INVOKED defined, so only macros
// above the guard), the package names (tools/package.sh reads the three
// numbers) and any further plug-in format's factory take them from here.
#pragma once

#define QUORVEL_VERSION_MAJOR 1
#define QUORVEL_VERSION_MINOR 0
#define QUORVEL_VERSION_PATCH 0

#define QUORVEL_NAME "Quorvel"
#define QUORVEL_VENDOR "Kelvo"

// "1.0.0": the three numbers stringified as one literal, since the resource
// compiler does not join adjacent strings.
#define QUORVEL_STRINGIFY_(text) #text
#define QUORVEL_DOTTED_(major, minor, patch) QUORVEL_STRINGIFY_(major.minor.patch)
#define QUORVEL_VERSION_TEXT \
  QUORVEL_DOTTED_(QUORVEL_VERSION_MAJOR, QUORVEL_VERSION_MINOR, QUORVEL_VERSION_PATCH)

#ifndef RC_INVOKED
#include <cstdint>

// Packed as 0xMMMMmmpp, the form the framework stores and the host asks for.
constexpr int32_t kQuorvelVersionPacked =
    (QUORVEL_VERSION_MAJOR << 16) | (QUORVEL_VERSION_MINOR << 8) | QUORVEL_VERSION_PATCH;
static_assert(QUORVEL_VERSION_MINOR < 256 && QUORVEL_VERSION_PATCH < 256);
#endif
