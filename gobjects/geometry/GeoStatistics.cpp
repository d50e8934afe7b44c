#include "gobjects/geometry/GeoStatistics.h"

#include <cmath>
#include <utility>

namespace {

// Exchange sort: each position against every later one. It never misbehaves on values that do not order
// (NaN), and report columns are short.
void SortAscending(double* values, int count)
{
    for (int i = 0; i < count; ++i)
        for (int j = i + 1; j < count; ++j)
            if (values[i] > values[j])
                std::swap(values[i], values[j]);
}

}  // namespace

double GetSum(double* values, int count)
{
    double sum = 0;
    for (int i = 0; i < count; ++i)
        sum += values[i];
    return sum;
}

double GetMean(double* values, int count)
{
    return count > 0 ? GetSum(values, count) / count : 0;
}

double GetStdDev(double* values, int count)
{
    if (count <= 0)
        return 0;
    const double mean = GetMean(values, count);
    double squares = 0;
    for (int i = 0; i < count; ++i)
        squares += (values[i] - mean) * (values[i] - mean);
    return std::sqrt(squares / count);
}

double GetMin(double* values, int count)
{
    if (count <= 0)
        return 0;
    SortAscending(values, count);
    return values[0];
}

double GetMax(double* values, int count)
{
    if (count <= 0)
        return 0;
    SortAscending(values, count);
    return values[count - 1];
}
