// The zoom dock: a tab control with the magnifier (and the navigator under it) on the first tab and the
// magnifier's settings on the second. It follows the active document's image view: attached while a view is
// active, detached (empty) while none is. The settings live in the profile section "ZOOM": read when the dock is
// made, written when it goes.
// UI thread. The dock holds no pointer into a document, only guarded pointers to the display window.
#pragma once

#include "gobjects/GObjectChanges.h"
#include "resources/Language.h"
#include "types/ColorRef.h"
#include "types/WinTypes.h"

#include <QWidget>

class CAppProfile;
class CImageDispWnd;
class CVistrelDoc;
class CZoomNavigatorWnd;
class CZoomViewWnd;
class DocumentRegistry;
class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QToolButton;

class CZoomDockWnd : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char* kSection = "ZOOM";

    // `profile` may be null (defaults, nothing written).
    CZoomDockWnd(CAppProfile* profile, LANGID language, QWidget* parent = nullptr);
    ~CZoomDockWnd() override;

    void Attach(CImageDispWnd* window);
    void Detach() { Attach(nullptr); }
    // 1 the magnifier, 0 the navigator, 2 both.
    void Refresh(int type);
    // Attaches to the image view of whichever document the registry makes active.
    void Follow(DocumentRegistry* registry);

    CZoomViewWnd* Magnifier() const { return m_magnifier; }
    CZoomNavigatorWnd* Navigator() const { return m_navigator; }
    QTabWidget* Tabs() const { return m_tabs; }

    // Settings page: the cell count as the spin box and the edit show it.
    void SetCellCount(int cells);
    void SaveSettings();

private:
    void LoadSettings();
    void ShowCellText();
    void ShowColour();
    void FollowDocument(CVistrelDoc* document);

    CAppProfile* m_profile;
    LANGID m_language;
    QTabWidget* m_tabs = nullptr;
    CZoomViewWnd* m_magnifier = nullptr;
    CZoomNavigatorWnd* m_navigator = nullptr;
    QCheckBox* m_overlay = nullptr;
    QToolButton* m_colour = nullptr;
    QLineEdit* m_cellText = nullptr;
    QSpinBox* m_cells = nullptr;
    QMetaObject::Connection m_drawnConnection;
    QMetaObject::Connection m_cursorConnection;
    QMetaObject::Connection m_imageConnection;
    // The magnifier draws the attached window's objects: it repaints when the overlay tells of a change.
    GObjectChangeSubscription m_overlayChanges;
};
