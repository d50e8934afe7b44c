// A hash of what an overlay's objects store (their records as the overlay stream writes them), without the view
// the stream also carries (zoom, scroll origin, pixel centring, canvas) and without an object still being drawn: two
// overlays with the same fingerprint would save the same objects. The view compares it around input to learn
// whether the user changed the document. Costs one write of the stream into memory. UI thread.
#pragma once

#include <cstdint>
#include <optional>

class CQvGObjectContainer;

// Empty when the overlay could not be written.
std::optional<uint64_t> OverlayFingerprint(CQvGObjectContainer& overlay);
