#include "types/Rounding.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>

namespace {

// A whole number as an int, saturated at int's ends; NaN (which no int stands for) gives 0.
int SaturatedInt(double whole)
{
    if (std::isnan(whole))
        return 0;
    return static_cast<int>(std::clamp(whole, static_cast<double>(INT_MIN), static_cast<double>(INT_MAX)));
}

}  // namespace

int TruncHalfUp(double v)
{
    return SaturatedInt(std::trunc(v + 0.5));
}

int RoundHalfAway(double v)
{
    return SaturatedInt(std::round(v));
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
