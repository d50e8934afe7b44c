// The tools dock: the overlay library's tool catalogues as icon lists in a bar with one folder per catalogue
// (measurement and annotation shown; automatic measurement and edge tools built but not shown). Picking a tool
// starts the creation of its shape in the active document; picking the highlighted tool again only drops the
// highlight. When a creation ends (the view's display window says so) every page drops its pick, so the next
// click on the same tool starts a new object instead of switching the tool off.
// UI thread. The dock asks the registry for the active document at each pick and keeps no pointer into one.
#pragma once

#include "resources/Language.h"
#include "types/WinTypes.h"

#include <QListWidget>
#include <QPointer>
#include <QWidget>

class CVistrelDoc;
class DocumentRegistry;
class QToolBox;
struct tagGObjInfo;

class CMeasureAnnotationDockWnd : public QWidget
{
    Q_OBJECT

public:
    enum class PageKind
    {
        Measurement,
        EdgeTools,
        Annotation,
        AutoMeasure
    };

    // One tool page: an icon list whose left-button press picks a tool.
    class ToolPage : public QListWidget
    {
    public:
        ToolPage(CMeasureAnnotationDockWnd& dock, PageKind kind);
        PageKind Kind() const { return m_kind; }
        // The highlighted row, -1 for none.
        int Highlighted() const { return m_highlighted; }
        void DropHighlight();
        void Highlight(int row);

    protected:
        void mousePressEvent(QMouseEvent* event) override;
        void resizeEvent(QResizeEvent* event) override;

    private:
        CMeasureAnnotationDockWnd& m_dock;
        PageKind m_kind;
        int m_highlighted = -1;
    };

    CMeasureAnnotationDockWnd(LANGID language, QWidget* parent = nullptr);
    ~CMeasureAnnotationDockWnd() override;

    // Where the active document comes from (null: none, no tool starts anything).
    void Follow(DocumentRegistry* registry);
    // Every page drops its pick.
    void ClearPickedTool();

    QToolBox* Bar() const { return m_bar; }
    ToolPage* Page(PageKind kind) const;
    // The pick of the row under a point of a page (what a left-button press does).
    void PickAt(ToolPage& page, QPoint point);

private:
    void RunAction(ToolPage& page, const tagGObjInfo& tool);
    void FollowDocument(CVistrelDoc* document);

    LANGID m_language;
    QToolBox* m_bar = nullptr;
    ToolPage* m_pages[4] = {};
    QPointer<DocumentRegistry> m_registry;
    QMetaObject::Connection m_creationConnection;
};
