// Bounds for the counts found in overlay streams and clipboard files, so that a damaged or hostile file is
// refused before anything is allocated for it.
#pragma once

#include <cstdint>
#include <cstdio>

class LeReader;

// The smallest object record: shape code, point count, label count, a property record without texts
// (two lengths, the 60-byte font, 19 ints) and the kind.
constexpr int64_t kMinObjectRecordSize = 4 + 4 + 4 + (4 + 4 + 60 + 19 * 4) + 4;

// Bytes between the stream's position and its end; INT64_MAX when the stream cannot tell (a pipe). The position
// is left where it was.
int64_t RemainingBytes(FILE* file);

// How many object records can at most follow in the stream.
int32_t MaxRecordsIn(FILE* file);
int32_t MaxRecordsIn(const LeReader& in);
