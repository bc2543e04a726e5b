// The launcher's fixed-size path buffers and the bounded joins that fill them.
#pragma once
#include <cstddef>

#include "common/disc_names.h"

// Writes a followed by b into dst, which holds cap bytes including the terminator. When the
// result does not fit, nothing is joined: dst becomes "" and the result is false.
bool JoinPath(char* dst, size_t cap, const char* a, const char* b);
