// Burns a grid (and, for picture files, the overlay) into an image's own pixels before it is saved, so a saved
// picture shows what the window shows.
//
// The grid is painted at one device pixel per image pixel, antialiasing off, into a transparent mask, and every
// pixel the mask covers takes the colour painted there in the image's own pixel format: B,G,R(,A 255) for 24- and
// 32-bit images, the colour's luminance for grey images, the nearest palette entry for indexed ones. The image is
// never compared with the pen colour, so a background of that colour is left alone and only the grid is written.
// UI thread (fonts of the ruler labels); the image is not owned.
#pragma once

#include "qvimage/CQvImage.h"
#include "types/ColorRef.h"

#include <cstdint>
#include <vector>

class CLatticer;
class CQvGObjectContainer;

// Paints `grid` over the image as the window shows it at zoom 1 (the grid's canvas taken as the image size; the
// grid itself is not changed). Returns the number of pixels written.
int64_t BurnGridIntoPixels(CQvImage& image, const CLatticer& grid);

// The value a pixel of the image's model takes for `colour`: grey level, nearest palette index, or 0 for colour
// models (which take the colour's bytes).
BYTE PixelValueOf(const CQvImage& image, COLORREF colour);

// Keeps an image's pixels aside while a grid is burnt in for a save, and puts them back afterwards.
class GridBurnIn
{
public:
    // Keeps the pixels, then burns the grid. False (nothing kept or changed) for an empty image.
    bool Burn(CQvImage& image, const CLatticer& grid);
    // Puts the kept pixels back into an image of the size and model they came from and forgets them; false when
    // nothing was kept or the image changed shape meanwhile (the pixels are then forgotten all the same).
    bool Restore(CQvImage& image);
    bool Pending() const { return !m_pixels.empty(); }

private:
    std::vector<BYTE> m_pixels;
    int m_model = 0;
    int m_width = 0;
    int m_height = 0;
    int m_stride = 0;
};

// Draws the overlay's objects (filter as CQvGObjectContainer::Draw) onto the image at zoom 1 and puts the result in
// `merged` as a 24-bit image; the container's zoom and scroll settings are as before afterwards. False for an
// empty image.
bool RenderOverlayIntoImage(const CQvImage& image, CQvGObjectContainer& overlay, int filter, CQvImage& merged);
