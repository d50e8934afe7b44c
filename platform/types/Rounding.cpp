#include "types/Rounding.h"

#include <cmath>
#include <cstdlib>

int TruncHalfUp(double v)
{
    return static_cast<int>(std::trunc(v + 0.5));
}

int RoundHalfAway(double v)
{
    return static_cast<int>(std::lround(v));
}

int32_t MulDiv(int32_t a, int32_t b, int32_t c)
{
    if (c == 0)
        return -1;
    const int64_t num = static_cast<int64_t>(a) * b;
    const int64_t absNum = num < 0 ? -num : num;
    const int64_t absDen = c < 0 ? -static_cast<int64_t>(c) : c;
    int64_t q = (absNum + absDen / 2) / absDen;
    if ((num < 0) != (c < 0))
        q = -q;
    if (q > INT32_MAX || q < INT32_MIN)
        return -1;
    return static_cast<int32_t>(q);
}
