#pragma once

#include <cstddef>

// Zero-filled allocation (free with free()). When memory is exhausted, logs
// "Could not allocate bytes of memory! <size>" and ends the process with status 1.
void* mymalloc(size_t size);
