// The scene of the line family's tests: the marker scene (0.5 units per pixel, 2 decimals, no automatic
// repetition, a 200 x 150 canvas), and a guard that sets the edition.
#pragma once

#include "gobjects/Edition.h"
#include "MarkerScene.h"

using LineFamilyScene = MarkerScene;

// Sets the edition for the life of the guard.
class ScopedEdition
{
public:
    explicit ScopedEdition(OEM_PRODUCT edition) : m_old(g_OEMProduct) { SetOEMProduct(edition); }
    ~ScopedEdition() { SetOEMProduct(m_old); }
    ScopedEdition(const ScopedEdition&) = delete;
    ScopedEdition& operator=(const ScopedEdition&) = delete;

private:
    OEM_PRODUCT m_old;
};
