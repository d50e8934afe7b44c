// The picture combo boxes of the Common page: line ends, pen styles and font names. Each item is painted by the
// combo itself into its rectangle (the static Draw functions paint one into any CDC, which is what the list and the
// closed box show). UI thread only.
#pragma once

#include "gobjects/ArrowType.h"

#include "types/VistrelExport.h"
#include "types/WinGeometry.h"

#include <QComboBox>
#include <QString>

#include <algorithm>

class CDC;

// Base of the three: items are painted by DrawItem into an image of the item's size.
class VISTREL_EXPORT COwnerDrawCombo : public QComboBox
{
public:
    explicit COwnerDrawCombo(QWidget* parent = nullptr);

    // Paints item `index` into `rect` of `dc`; `selected` is the list's highlighted or the box's current item.
    virtual void DrawItem(CDC& dc, const RECT& rect, int index, bool selected) const = 0;
    // Item `index` painted on its own, `size` pixels large (for the list and for checks of its look).
    QImage RenderItem(int index, QSize size, bool selected) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The line-end shapes, item index = ARROW_TYPE 0..3. The left-end combo draws the end at the sample's left end.
class VISTREL_EXPORT CLineEndCombo : public COwnerDrawCombo
{
public:
    explicit CLineEndCombo(QWidget* parent = nullptr);

    // 1 for the left (start) end, 0 for the right (end) end.
    void SetSide(int side) { m_side = side ? 1 : 0; update(); }
    int GetSide() const { return m_side; }
    ARROW_TYPE GetArrowType() const { return static_cast<ARROW_TYPE>(std::max(0, currentIndex())); }
    void SetArrowType(int type) { setCurrentIndex(type >= 0 && type < count() ? type : 0); }

    void DrawItem(CDC& dc, const RECT& rect, int index, bool selected) const override;

private:
    int m_side = 1;
};

// The pen styles, item index = PS_SOLID..PS_DASHDOTDOT (0..4).
class VISTREL_EXPORT CLineStyleCombo : public COwnerDrawCombo
{
public:
    explicit CLineStyleCombo(QWidget* parent = nullptr);

    int GetPenStyle() const { return std::max(0, currentIndex()); }
    void SetPenStyle(int style) { setCurrentIndex(style >= 0 && style < count() ? style : 0); }

    void DrawItem(CDC& dc, const RECT& rect, int index, bool selected) const override;
};

// The installed font families (sorted), each drawn in its own face at 11 points.
class VISTREL_EXPORT CFontNameCombo : public COwnerDrawCombo
{
public:
    explicit CFontNameCombo(QWidget* parent = nullptr);

    // Empties and refills the list (also done when the installed fonts change), then selects the stored face when
    // it is listed (letter case ignored); otherwise nothing is selected.
    void Fill();
    // The face to select after filling; after each selection change, the selected face.
    QString GetFaceName() const { return m_faceName; }
    void SetFaceName(const QString& face);

    void DrawItem(CDC& dc, const RECT& rect, int index, bool selected) const override;

    // Fills from the given faces in place of the installed ones (tests).
    void FillFrom(QStringList faces);

private:
    QString m_faceName;
};
