// Bounds for the counts found in overlay streams and clipboard files, so that a damaged or hostile file is
// refused before anything is allocated for it.
#pragma once

#include "types/WinGeometry.h"

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

// A name or comment this long (its terminating zero included) or longer is taken for a damaged record rather than
// allocated; the writer refuses one, so that every record written reads back, and a paste refuses one too.
constexpr int32_t kMaxRecordTextLength = 64 * 1024;

// No image stamp's picture is larger: a record or a clipboard picture claiming more is refused unread.
constexpr int64_t kMaxPictureBytes = 256LL * 1024 * 1024;

// The longest side of an image the image library can hold, and so of a canvas a window shows.
constexpr int32_t kMaxCanvasSide = 65536;
// A window scrolls an image at most this many of the largest canvases (at the stream's zoom) away from its corner.
constexpr double kMaxOriginCanvases = 4.0;

// Whether a stream's canvas size and scroll origin are ones a window could have set: each canvas side within
// [0, kMaxCanvasSide], each origin coordinate within kMaxOriginCanvases x kMaxCanvasSide x max(1, ratio) of 0.
// ratio is the stream's zoom ratio, already known to be positive and finite.
bool IsPlausibleView(CSize canvas, CPoint origin, float ratio);

// The view a stream is written with: a caller may have left any zoom, canvas or scroll origin set, but what is
// written must read back. A ratio that is not positive and finite becomes 1, canvas sides and origin coordinates
// are clamped into what IsPlausibleView accepts for the resulting ratio. Only the view is bounded: the objects'
// own coordinates are written as they are.
struct StreamView
{
    float ratio;
    CSize canvas;
    CPoint origin;
};
StreamView PlausibleView(float ratio, CSize canvas, CPoint origin);
