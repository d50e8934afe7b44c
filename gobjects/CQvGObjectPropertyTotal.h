// The defaults from which new overlay objects take their drawing attributes and displayed quantity: one attribute
// set for all measurements, one per annotation kind, one for the scale marker, the displayed quantity per shape and
// the settings of a few shapes. The library-wide instance g_GOPropertyTotal is shared by every container. UI thread.
// Two stored forms: the set record of the overlay stream (Write/Read) and a 1944-byte image kept by the program in
// its profile (SaveMemoryImage/LoadMemoryImage), laid out as the 32-bit memory of the set.
#pragma once

#include "gobjects/CQvGObjectProperty.h"
#include "gobjects/GObjectTypes.h"

#include "types/ColorRef.h"
#include "types/VistrelExport.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

class CQvGObject;

class VISTREL_EXPORT CQvGObjectPropertyTotal
{
public:
    static constexpr size_t kMemoryImageSize = 1944;

    CQvGObjectPropertyTotal();
    // Copies every field.
    CQvGObjectPropertyTotal(const CQvGObjectPropertyTotal& other) = default;
    // Copies every field but the two reserved ints (offsets 4 and 76 of the image); the attribute sets by their
    // own assignment.
    CQvGObjectPropertyTotal& operator=(const CQvGObjectPropertyTotal& other);
    bool operator==(const CQvGObjectPropertyTotal& other) const = default;
    void Swap(CQvGObjectPropertyTotal& other) noexcept;

    // Library defaults; the horizontal and vertical tools' quantities follow the edition in force.
    void Initialize();

    // Gives a new or edited object the defaults of its shape (its annotation code normalised first; the code is
    // taken from the object): attributes, displayed quantity and the shape's own settings. 0 for the codes that
    // have no defaults (8, 18, 22, 23, 29 and unknown codes), else 1.
    int GetProperty(CQvGObject* obj, OBJ_SHAPE shape);
    // Remembers an object's attributes, displayed quantity and settings as the defaults of its shape.
    // 1 when the code has defaults.
    int SetProperty(CQvGObject* obj, OBJ_SHAPE shape);
    // Takes the drawing attributes of prop into the set of an object kind: 1 measurements, 2 to 11 the
    // annotation kinds, 12 the scale marker. Kind 0 and others are refused (0).
    int SetProperty(QVGO_TYPE kind, const CQvGObjectProperty* prop);
    // The attribute set used by a shape code: 30-39 their annotation set, 40-42 the scale marker's, every other
    // code the measurements'.
    CQvGObjectProperty& GetProperty(OBJ_SHAPE shape);
    const CQvGObjectProperty& GetProperty(OBJ_SHAPE shape) const;

    void SetLineColor(COLORREF color, OBJ_SHAPE shape) { GetProperty(shape).SetLineColor(color); }
    void SetTextColor(COLORREF color, OBJ_SHAPE shape) { GetProperty(shape).SetTextColor(color); }
    COLORREF GetLineColor(OBJ_SHAPE shape) const { return GetProperty(shape).GetLineColor(); }
    COLORREF GetTextColor(OBJ_SHAPE shape) const { return GetProperty(shape).GetTextColor(); }

    // Displayed quantity kept for a shape; 0 for a code without a slot. SetDispType returns 0 for such a code.
    int32_t GetDispType(OBJ_SHAPE shape) const;
    int SetDispType(OBJ_SHAPE shape, int32_t calType);

    // Target: ring gap in calibrated units, the calibration factor it was set under, shape flags.
    float GetTargetGap() const { return m_targetGap; }
    void SetTargetGap(float gap) { m_targetGap = gap; }
    double GetTargetFactor() const { return m_targetFactor; }
    void SetTargetFactor(double factor) { m_targetFactor = factor; }
    int32_t GetTargetFlags() const { return m_targetFlags; }
    void SetTargetFlags(int32_t flags) { m_targetFlags = flags; }

    // The inner-angle flag of the 2-line and 3-point angles.
    int32_t GetAngleInnerFlag() const { return m_angleInnerFlag; }
    void SetAngleInnerFlag(int32_t flag) { m_angleInnerFlag = flag; }

    // Whether a text annotation's box outline is drawn.
    int32_t GetTextLineShown() const { return m_textLineShown; }
    void SetTextLineShown(int32_t shown) { m_textLineShown = shown; }

    int32_t GetImageOpacity() const { return m_imageOpacity; }
    void SetImageOpacity(int32_t opacity) { m_imageOpacity = opacity; }

    // Scale marker settings, named by their place in the image; the scale marker gives them their roles.
    int32_t GetScaleMarkerInt1904() const { return m_scaleMarker1904; }
    void SetScaleMarkerInt1904(int32_t value) { m_scaleMarker1904 = value; }
    int32_t GetScaleMarkerInt1908() const { return m_scaleMarker1908; }
    void SetScaleMarkerInt1908(int32_t value) { m_scaleMarker1908 = value; }
    float GetScaleMarkerFloat1912() const { return m_scaleMarker1912; }
    void SetScaleMarkerFloat1912(float value) { m_scaleMarker1912 = value; }
    int32_t GetScaleMarkerInt1916() const { return m_scaleMarker1916; }
    void SetScaleMarkerInt1916(int32_t value) { m_scaleMarker1916 = value; }
    int32_t GetScaleMarkerInt1920() const { return m_scaleMarker1920; }
    void SetScaleMarkerInt1920(int32_t value) { m_scaleMarker1920 = value; }
    // The five ints from offset 1924, index 0 to 4; another index reads 0 and stores nothing.
    int32_t GetScaleMarkerInt1924(int index) const;
    void SetScaleMarkerInt1924(int index, int32_t value);

    // The set record of the overlay stream. Version gates: the displayed quantities only when version > 1.2, the
    // curvature's only when reading version > 1.4. Read returns 0 on a short or bad record and then leaves the set
    // unchanged.
    int Write(FILE* file, float version) const;
    int Write(LeWriter& out, float version) const;
    int Read(FILE* file, float version);
    int Read(LeReader& in, float version);

    // The 1944-byte image; pointer and vtable slots are zeros. LoadMemoryImage accepts exactly 1944 bytes, ignores
    // the pointer slots (the sets come back without names) and takes every field, the reserved ones too; it
    // returns 0 and changes nothing for any other size.
    std::vector<uint8_t> SaveMemoryImage() const;
    int LoadMemoryImage(const void* data, size_t size);

private:
    // Displayed quantities, one slot per int from offset 8 to 96; the slot at 76 is the Das's, kept but not stored
    // in the stream.
    static constexpr int kDispSlotCount = 23;
    static constexpr int kDasSlot = 17;
    static constexpr int kAnnotationCount = 10;

    static int DispSlot(int shape);

    int32_t m_reserved4 = 0;
    std::array<int32_t, kDispSlotCount> m_dispTypes{};
    CQvGObjectProperty m_measure;
    int32_t m_angleInnerFlag = 0;
    float m_targetGap = 0.0f;
    double m_targetFactor = 0.0;
    int32_t m_targetFlags = 0;
    std::array<CQvGObjectProperty, kAnnotationCount> m_annotations;  // kinds 2 to 11
    int32_t m_textLineShown = 0;
    int32_t m_imageOpacity = 0;
    CQvGObjectProperty m_scaleMarker;
    int32_t m_scaleMarker1904 = 0;
    int32_t m_scaleMarker1908 = 0;
    float m_scaleMarker1912 = 0.0f;
    int32_t m_scaleMarker1916 = 0;
    int32_t m_scaleMarker1920 = 0;
    std::array<int32_t, 5> m_scaleMarker1924{};
};

extern VISTREL_EXPORT CQvGObjectPropertyTotal g_GOPropertyTotal;
