#pragma once
// Base64 (standard alphabet, "=" padding, no line breaks) over caller-owned
// byte buffers.

// Largest result of base64Encode, terminating zero included: the encoders of
// the program write into buffers of this size, so at most 765 source bytes
// are encoded.
constexpr int BASE64_ENCODE_LIMIT = 1024;

// Writes the Base64 characters of count bytes and a terminating zero into
// dest, which needs room for 4 * ceil(count / 3) + 1 bytes. Returns that
// size; 0 for no input and -1 when it would exceed BASE64_ENCODE_LIMIT, in
// both cases without touching dest.
int base64Encode(char* dest, const unsigned char* src, int count);

// Decodes the zero-terminated text src into dest and returns the number of
// bytes written, at most limit (the rest is dropped). Characters outside the
// alphabet, "=" included, are skipped; no terminating zero is written.
int base64Decode(unsigned char* dest, const char* src, int limit);
