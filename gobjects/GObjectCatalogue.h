// The catalogues from which the program builds its tool palettes and report columns: which shapes exist, in which
// order, with which name and which 40 x 40 picture of the catalogue's tool strip, and which quantities can be
// reported. The 2D-measurement catalogue follows the edition (g_OEMProduct) in force when it is built.
// UI thread only. Catalogues are owned by the library: built on the first request, kept until their Destroy call;
// a pointer handed out stays valid until then.
#pragma once

#include "types/VistrelExport.h"

#include <cstdint>
#include <string>

class QImage;

// One tool of a catalogue.
struct tagGObjInfo
{
    int32_t shape = 0;       // OBJ_SHAPE the tool creates
    std::string name;        // display name, in the UI language in force when the catalogue was built
    int32_t imageIndex = 0;  // picture in the catalogue's tool strip, counted from the left
};

// 22 measurement tools (20 in edition 8, 8 in edition 9); tool strip 4000.
VISTREL_EXPORT tagGObjInfo* Get2DMeasureInfo();
// Entries of the built catalogue; 0 before the first request and after Destroy.
VISTREL_EXPORT int Get2DMeasureInfoCount();
VISTREL_EXPORT void Destroy2DMeasureInfo();

// The four automatic edge tools; tool strip 4015.
VISTREL_EXPORT tagGObjInfo* GetAutoMeasureInfo();
VISTREL_EXPORT int GetAutoMeasureInfoCount();
VISTREL_EXPORT void DestroyAutoMeasureInfo();

// The eight annotation tools; tool strip 4002.
VISTREL_EXPORT tagGObjInfo* GetAnnotationInfo();
VISTREL_EXPORT int GetAnnotationInfoCount();
VISTREL_EXPORT void DestroyAnnotationInfo();

// The catalogue's tool strip: a row of 40 x 40 pictures on the background 0xF5F5F5, which is also the mask
// colour of the tool lists. 4000 and 4015 are 8-bit palette pictures, 4002 is true colour with two spare
// pictures at its end. A null `bitmap` is ignored.
VISTREL_EXPORT void Get2DMeasureImageList(QImage* bitmap);
VISTREL_EXPORT void GetAutoMeasureImageList(QImage* bitmap);
VISTREL_EXPORT void GetAnnotationImageList(QImage* bitmap);

// The reportable quantities: 15 (Length to Position End; Curvature is not offered).
VISTREL_EXPORT int GetMeasurementCount();
// The tagCAL_TYPE bit of quantity n: 1 << (n AND 31).
VISTREL_EXPORT int GetMeasurementType(int n);
// The name of quantity n ("" when there is none), in a library buffer valid until the next call.
VISTREL_EXPORT const char* GetMeasurementName(int n);
