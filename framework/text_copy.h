// Bounded text copy for answers handed to the host or stored in fixed fields.
#pragma once

#include <cstddef>

// Copies at most size - 1 bytes of `source` (null counts as "") into `dest`
// and terminates it. Nothing is written when dest is null or size is 0.
void CopyTextBounded(char* dest, const char* source, size_t size);
