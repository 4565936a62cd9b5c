#pragma once

// Writes the Base64 text (RFC 4648 alphabet, "=" padding, NUL-terminated) of
// count bytes of input into output, which must hold 4 * ((count + 2) / 3) + 1
// characters. Reads exactly count bytes.
void motion_base64_encode(const unsigned char* input, char* output, int count);
