// One overlay kind in the grid dialog: its 32 x 32 icon in a frame that looks sunken while the kind is on and
// raised while it is off. A click toggles it (checkable button). UI thread.
#pragma once

#include <QAbstractButton>
#include <QIcon>

class KindButton : public QAbstractButton
{
    Q_OBJECT
public:
    static constexpr int kSide = 32;

    KindButton(const QIcon& icon, QWidget* parent);
    QSize sizeHint() const override { return QSize(kSide, kSide); }

protected:
    void paintEvent(QPaintEvent* event) override;
};
