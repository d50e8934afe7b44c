#include "calibration/CLengthCalibrationDlg.h"

#include "calibration/CManualCalibrationDlg.h"
#include "core/CalibrationTexts.h"
#include "core/CCalibrationList.h"
#include "document/CVistrelDoc.h"
#include "panels/CFlatColorComboBox.h"
#include "view/CVistrelView.h"

#include "gobjects/CQvGObject.h"
#include "ui/MessageBox.h"
#include "ui/ModalDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

CLengthCalibrationDlg::CLengthCalibrationDlg(CVistrelView& view, CQvGObject* line, CCalibrationList& list,
                                             QWidget* parent)
    : QDialog(parent), m_view(&view), m_line(line), m_list(list)
{
    setObjectName("860");
    setWindowTitle(CalibrationUiText(calibstr::IDS_MANUAL_CALIBRATION_TITLE));
    setModal(false);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(CalibrationUiText(calibstr::IDS_REAL_LENGTH_LABEL)), 0, 0);
    m_length = new QLineEdit("10");
    m_length->setObjectName(QString::number(kLengthEdit));
    grid->addWidget(m_length, 0, 1);
    m_units = new CFlatColorComboBox;
    m_units->setObjectName(QString::number(kUnitBox));
    for (int index = 0; index < kUnitTypeCount; ++index)
        m_units->addItem(QString::fromStdString(CCalibKeeper::GetUnitName(CCalibKeeper::GetUnitType(index))));
    const int unit = list.GetCurrentCalibration()->GetUnit();
    m_units->setCurrentIndex(unit == UNIT_PIXEL ? UNIT_MICROMETER : unit);
    grid->addWidget(m_units, 0, 2);

    auto* buttons = new QDialogButtonBox;
    QPushButton* apply = buttons->addButton(CalibrationUiText(calibstr::IDS_APPLY), QDialogButtonBox::ApplyRole);
    apply->setObjectName(QString::number(kApply));
    QPushButton* save = buttons->addButton(CalibrationUiText(calibstr::IDS_SAVE), QDialogButtonBox::AcceptRole);
    save->setObjectName("1");
    buttons->addButton(CalibrationUiText(calibstr::IDS_CANCEL), QDialogButtonBox::RejectRole)->setObjectName("2");
    connect(apply, &QPushButton::clicked, this, &CLengthCalibrationDlg::OnApply);
    connect(buttons, &QDialogButtonBox::accepted, this, &CLengthCalibrationDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CLengthCalibrationDlg::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);

    // The calibration line is one object: it must not start another when it is done.
    CQvGObjectContainer& overlay = view.GetDocument()->GetGObjectContainer();
    m_savedAutoRepeat = overlay.GetAutoRepeatCreatingObject();
    overlay.SetAutoRepeatCreatingObject(0);
}

CLengthCalibrationDlg::~CLengthCalibrationDlg()
{
    // Whoever destroys the dialog is going away itself: it is told nothing more.
    m_finished = nullptr;
    Finish(QDialog::Rejected);
}

bool CLengthCalibrationDlg::LineIsInOverlay() const
{
    if (!m_view || !m_view->GetDocument() || !m_line)
        return false;
    const GObjectList& objects = m_view->GetDocument()->GetGObjectContainer().GetMainObjList();
    return std::find(objects.begin(), objects.end(), m_line) != objects.end();
}

bool CLengthCalibrationDlg::BuildCalibration(CCalibKeeper& calibration)
{
    if (!LineIsInOverlay() || m_line->GetState() != GS_FINISHED || m_line->GetPointCount() < 2) {
        MessageBox(CalibrationString(calibstr::IDS_DRAW_CALIBRATION_LINE), std::string(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    const _RPOINT* points = m_line->GetPoint();
    const double pixelLength = std::hypot(points[1].x - points[0].x, points[1].y - points[0].y);
    if (!(pixelLength > 0)) {
        MessageBox(CalibrationString(calibstr::IDS_ZERO_LENGTH), std::string(), MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    // A length that is no positive number would make a factor of 0 or less, which measures nothing.
    const double realLength = CCalibrationList::TextToNumber(m_length->text().toStdString());
    CCalibKeeper made = *m_list.GetCurrentCalibration();
    if (!(realLength > 0) ||
        !made.Create(CCalibKeeper::GetUnitType(m_units->currentIndex()), pixelLength, realLength, -1.0, 1.0, 0, 0, 0)) {
        MessageBox(CalibrationString(calibstr::IDS_FILL_EVERYTHING), CalibrationString(calibstr::IDS_ERROR_CAPTION),
                   MB_OK | MB_ICONERROR);
        return false;
    }
    made.SetName(CCalibrationList::kTemporaryName);
    calibration = made;
    return true;
}

void CLengthCalibrationDlg::OnApply()
{
    CCalibKeeper calibration;
    if (!BuildCalibration(calibration))
        return;
    m_list.StoreCalibration(calibration);  // the temporary calibration: current, never listed
    if (m_view && m_view->GetDocument())
        m_view->GetDocument()->GetCalibKeeper() = *m_list.GetCurrentCalibration();
    if (m_changed)
        m_changed();
    Finish(QDialog::Accepted);
}

void CLengthCalibrationDlg::accept()
{
    CCalibKeeper calibration;
    if (!BuildCalibration(calibration))
        return;
    CManualCalibrationDlg naming(m_list, calibration, this);
    if (RunModal(naming) != QDialog::Accepted) {
        // Names made in the naming dialog and left without a magnification are not kept.
        m_list.RemoveItemsWithoutRecords();
        Finish(QDialog::Rejected);
        return;
    }
    if (m_view && m_view->GetDocument())
        m_view->GetDocument()->GetCalibKeeper() = *m_list.GetCurrentCalibration();
    if (m_changed)
        m_changed();
    if (m_saved)
        m_saved();
    Finish(QDialog::Accepted);
}

void CLengthCalibrationDlg::reject()
{
    Finish(QDialog::Rejected);
}

void CLengthCalibrationDlg::Finish(int result)
{
    if (m_done)
        return;
    m_done = true;
    if (m_view && m_view->GetDocument()) {
        CVistrelDoc& document = *m_view->GetDocument();
        CQvGObjectContainer& overlay = document.GetGObjectContainer();
        // A finished line is deleted, one still being drawn is cancelled: DeleteObject does either.
        if (LineIsInOverlay())
            overlay.DeleteObject(m_line);
        m_line = nullptr;
        overlay.SetAutoRepeatCreatingObject(m_savedAutoRepeat);
        const PreferenceSettings& preferences = document.GetPreferences();
        overlay.SetDisplayName(preferences.displayName);
        overlay.SetDisplayData(preferences.displayData);
        overlay.SetDisplayMark(preferences.displayMark);
        CImageDispWnd* window = m_view->GetDispWnd();
        window->ModifyToolMode(CImageDispWnd::kCalibrationMode | CImageDispWnd::kCreating, 0);
        window->ReleaseMouse();
        window->ReleaseCursorClip();
        window->AfterObjectEdit();
        m_view->UpdateStatusText();
    }
    if (m_finished)
        m_finished();
    if (isVisible() || result != QDialog::Rejected)
        QDialog::done(result);
    else
        setResult(result);
}
