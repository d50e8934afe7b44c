// Statistics over a measurement column, exported to the program's result report. No values (count <= 0) give 0.
// GetMin and GetMax sort the caller's array ascending in place. Stateless; safe on any thread.
#pragma once

#include "types/VistrelExport.h"

VISTREL_EXPORT double GetSum(double* values, int count);
VISTREL_EXPORT double GetMean(double* values, int count);
// Population form: the root of the mean squared deviation from the mean.
VISTREL_EXPORT double GetStdDev(double* values, int count);
VISTREL_EXPORT double GetMin(double* values, int count);
VISTREL_EXPORT double GetMax(double* values, int count);
