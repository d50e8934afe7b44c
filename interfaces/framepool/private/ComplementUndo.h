// The undo of a change that complemented every pixel byte of an image in place: complementing again gives the
// image back bit for bit, so the undo point keeps no copy. What it keeps is the image's shape and a sample of its
// bytes as the change left them; an image that no longer matches (another picture put in its place meanwhile) is
// left alone rather than complemented into something that never was.
// Internal to FramePool.
#pragma once

#include "qvimage/CQvImage.h"

#include <cstdint>
#include <vector>

class ComplementUndo
{
public:
    // False for an image whose pixels are not whole bytes.
    static bool Fits(const CQvImage& image);

    // Notes `image` (which Fits) as the complement left it.
    explicit ComplementUndo(const CQvImage& image);

    // Complements the pixel bytes of `image` back when it is still the image noted. Returns 1, or 0 leaving the image
    // unchanged.
    int RestoreInto(CQvImage& image) const;

private:
    static std::vector<std::uint64_t> SampleOf(const CQvImage& image);

    int m_model;
    int m_width;
    int m_height;
    int m_stride;
    std::vector<std::uint64_t> m_sample;
};
