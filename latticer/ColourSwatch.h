// The colour field of the grid dialog: a button filled with the chosen line colour, sunken edges. UI thread.
#pragma once

#include "types/ColorRef.h"

#include <QAbstractButton>

class ColourSwatch : public QAbstractButton
{
    Q_OBJECT
public:
    explicit ColourSwatch(QWidget* parent);

    void SetColour(COLORREF colour);
    COLORREF Colour() const { return m_colour; }
    QSize sizeHint() const override { return QSize(40, 20); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    COLORREF m_colour = 0;
};
