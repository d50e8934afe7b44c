// "Pseudo Color": shows the document's grey image through a colour table while the dialog is open. The list
// "2003" picks a palette (files of the palette folder, then the two ramps); "Single" (2002) makes a random table,
// "Prev" (2007) brings the one before back once, and the push-like "Play" (2006) makes a new random table every
// 1..10 seconds (the read-only spin box 2005 with its edit 2004). Each change turns the document's image into the
// 24-bit result and calls `redraw`; the view that runs the dialog keeps the undo point and restores the grey image
// unless the dialog is accepted. Built and driven without being shown: every control has an objectName.
#pragma once

#include "chromex/PseudoColorTable.h"
#include "qvimage/CQvImage.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>

class QComboBox;
class QPushButton;
class QSpinBox;
class QTimer;

namespace chromex {

class CPseudoColorDlg : public QDialog
{
public:
    static constexpr int IDD = 2000;
    static constexpr int kPlayTimerId = 500;

    // `image` is the document's grey image (types 0 and 10); `folder` the palette folder; `seed` seeds the random
    // tables once.
    CPseudoColorDlg(CQvImage& image, std::function<void()> redraw, const std::string& folder, uint32_t seed,
                    QWidget* parent = nullptr);

    const CPseudoColorTable& Table() const { return m_table; }
    QTimer* PlayTimer() const { return m_timer; }

private:
    void OnSelectionChanged();
    void OnSingle();
    void OnPrev();
    void OnPlay(bool checked);
    // The current table into the document's image, then a repaint.
    void Show();

    CQvImage& m_image;
    CQvImage m_source;       // the grey image as it was when the dialog opened
    CQvImage m_destination;  // 24-bit, the source's size
    std::function<void()> m_redraw;
    CPseudoColorTable m_table;
    QComboBox* m_list = nullptr;
    QSpinBox* m_interval = nullptr;
    QPushButton* m_prev = nullptr;
    QPushButton* m_play = nullptr;
    QTimer* m_timer = nullptr;
};

}  // namespace chromex
