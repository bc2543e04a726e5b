// The byte-loop yardstick; see bench_pictures.h. Built without the compiler's turning of
// loops into library calls, so that it stays the loop it is written as.
#include "bench/bench_pictures.h"

namespace benchpic
{

int32_t ByteLoopRle8(uint8_t* destination, const uint8_t* source, uint32_t sourceLength,
                     int32_t stride, int32_t rows)
{
    if (stride <= 0 || rows <= 0 || int64_t(stride) * rows > INT32_MAX)
        return 0;
    const uint64_t total = uint64_t(stride) * uint64_t(rows);
    uint64_t position = 0;
    uint32_t i = 0;
    while (position < total && sourceLength - i >= 2) {
        uint32_t count = source[i];
        uint32_t code = source[i + 1];
        i += 2;
        if (count != 0) {
            for (uint32_t k = 0; k < count && position < total; ++k)
                destination[position++] = uint8_t(code);
        } else if (code == 0) {
            while (position % uint64_t(stride) != 0)
                destination[position++] = 0;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (sourceLength - i < 2)
                break;
            position += uint64_t(source[i + 1]) * uint64_t(stride) + source[i];
            i += 2;
        } else {
            uint32_t k = 0;
            for (; k < code && position < total && i < sourceLength; ++k)
                destination[position++] = source[i++];
            if (k < code)
                break;
            if ((code & 1) && i < sourceLength)
                ++i;
        }
    }
    return position > INT32_MAX ? INT32_MAX : int32_t(position);
}

} // namespace benchpic
