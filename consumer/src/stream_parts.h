#pragma once

#include <cstddef>

#include "stream.h"

// A new chunk with a zeroed data buffer of capacity bytes, refs 0 and size 0.
stream_chunk* chunk_new(size_t capacity);

// One client is done with the chunk: refs minus one, freed with its data at
// zero or less.
void chunk_release(stream_chunk* chunk);

// The 212-byte response header, or with origin not null the variant that
// ends in "Access-Control-Allow-Origin: " + origin; refs 1.
stream_chunk* response_header_chunk(const char* origin);
