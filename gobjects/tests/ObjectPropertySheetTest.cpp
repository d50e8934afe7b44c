// The object property sheet driven through its widgets: the Common page on objects and on a shape's defaults, the
// Measurement Value page, OK and Cancel, and an edit of several selected objects.
#include "MarkerScene.h"

#include "gobjects/Edition.h"
#include "gobjects/ui/CObjPropertySheet.h"
#include "gobjects/ui/CPropertyPage.h"
#include "gobjects/ui/ColorPopup.h"
#include "gobjects/ui/OwnerDrawCombo.h"

#include "resources/UiLanguage.h"
#include "testing/MessageBoxRecorder.h"
#include "testing/RenderCheck.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include <cstdlib>
#include <functional>

using testing_support::MessageBoxes;

namespace {

// Restores the edition for the rest of the run.
struct EditionGuard
{
    OEM_PRODUCT saved = g_OEMProduct;
    explicit EditionGuard(OEM_PRODUCT edition) { SetOEMProduct(edition); }
    ~EditionGuard() { SetOEMProduct(saved); }
};

template <class W>
W* Find(QDialog& d, const char* name)
{
    W* w = d.findChild<W*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
}

void Press(QDialog& d, const char* button)
{
    Find<QPushButton>(d, button)->click();
}

// Selects one object and runs the sheet of the selection, answered by `drive`.
int RunOn(MarkerScene& s, std::vector<CQvGObject*> objects, std::function<void(QDialog&)> drive)
{
    s.container.SelectionMode(1);
    s.container.UnSelectAll();
    for (CQvGObject* obj : objects)
        s.container.SelectObjects(obj, 1);
    MessageBoxes().QueueModal(std::move(drive));
    return s.container.OnPropertyAll(&s.canvas);
}

// A shape's own page that logs what the sheet asks of it.
class LoggingPage : public CPropertyPage
{
public:
    explicit LoggingPage(std::vector<std::string>& log) : CPropertyPage("Shape"), m_log(log)
    {
        setObjectName("shapePage");
    }
    BOOL OnInitDialog() override
    {
        m_log.push_back("init");
        return 1;
    }
    void OnOK() override { m_log.push_back("ok"); }
    void OnCancel() override { m_log.push_back("cancel"); }

private:
    std::vector<std::string>& m_log;
};

}  // namespace

TEST(ObjectPropertySheet, ShapePageShowsFirstAndButtonsFollowTheLanguage)
{
    struct Case
    {
        LANGID language;
        const char* ok;
        const char* cancel;
        bool accept;
        const char* last;
    };
    const Case cases[] = {{UI_LANGUAGE_ENGLISH, "OK", "Cancel", true, "ok"},
                          {UI_LANGUAGE_KOREAN, "확인", "취소", false, "cancel"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ok);
        SetUiLanguage(c.language);
        MarkerScene s;
        CQvGObject* line = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
        std::vector<std::string> log;
        LoggingPage page(log);
        GObjectSheetRequest request;
        request.container = &s.container;
        request.object = line;
        request.property = &line->GetProperty();
        request.shapePage = &page;
        QString ok, cancel, current;
        int count = 0;
        MessageBoxes().QueueModal([&](QDialog& d) {
            ok = Find<QPushButton>(d, "ok")->text();
            cancel = Find<QPushButton>(d, "cancel")->text();
            auto* tabs = Find<QTabWidget>(d, "pages");
            count = tabs->count();
            current = tabs->currentWidget()->objectName();
            Press(d, c.accept ? "ok" : "cancel");
        });
        EXPECT_EQ(s.container.RunPropertySheet(request), c.accept ? IDOK : IDCANCEL);
        SetUiLanguage(UI_LANGUAGE_ENGLISH);
        EXPECT_EQ(ok, QString::fromUtf8(c.ok));
        EXPECT_EQ(cancel, QString::fromUtf8(c.cancel));
        EXPECT_EQ(count, 2);
        EXPECT_EQ(current, "shapePage");
        EXPECT_EQ(log, (std::vector<std::string>{"init", c.last}));
        // The page went back to its owner: the sheet's dialog is gone and it has no parent.
        EXPECT_EQ(page.parentWidget(), nullptr);
    }
}

TEST(ObjectPropertySheet, MeasurementRenamesItselfAndItsLabelAndOkRepaints)
{
    EditionGuard edition(kEditionOfTheProgram);
    MarkerScene s;
    CQvGObject* line = s.Click(SHAPE_LINE, {CPoint(20, 40), CPoint(150, 40)});
    ASSERT_NE(line, nullptr);
    CQvGObject* label = line->GetLabelObject();
    ASSERT_NE(label, nullptr);
    const std::string oldName = label->GetProperty().GetName();
    const int invalidationsBefore = s.canvas.invalidations;

    int returnAccepted = -1;
    QString shown;
    int pages = 0;
    QString caption, ok, cancel;
    const int result = RunOn(s, {line}, [&](QDialog& d) {
        caption = d.windowTitle();
        ok = Find<QPushButton>(d, "ok")->text();
        cancel = Find<QPushButton>(d, "cancel")->text();
        pages = Find<QTabWidget>(d, "pages")->count();
        auto* text = Find<QPlainTextEdit>(d, "text");
        shown = text->toPlainText();
        // Return in the text box is a line break, never the sheet's OK.
        text->setPlainText("Gap");
        text->moveCursor(QTextCursor::End);
        QTest::keyClick(text, Qt::Key_Return);
        returnAccepted = d.result();
        text->setPlainText("Gap");
        auto* size = Find<QComboBox>(d, "size");
        size->setCurrentIndex(size->findText("12"));
        Find<QPushButton>(d, "bold")->setChecked(true);
        Find<CColorButton>(d, "textColor")->SetColor(RGB(10, 20, 30));
        Find<CColorButton>(d, "lineColor")->SetColor(CLR_AUTOMATIC);  // the object's own colour stays
        // A picture of the sheet for a look by eye, on request only.
        if (std::getenv("VISTREL_SHEET_SHOT")) {
            const QDir folder(testing_support::FailureImageFolder());
            folder.mkpath(".");
            d.grab().toImage().save(folder.filePath("object_property_sheet_line.png"));
        }
        Press(d, "ok");
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(caption, "Object Properties...");
    EXPECT_EQ(ok, "OK");
    EXPECT_EQ(cancel, "Cancel");
    EXPECT_EQ(pages, 1);  // the program's edition has no Measurement Value page
    EXPECT_EQ(shown.toStdString(), oldName);
    EXPECT_EQ(returnAccepted, 0);
    for (CQvGObject* named : {line, label}) {
        EXPECT_EQ(named->GetProperty().GetName(), "Gap");
        EXPECT_EQ(named->GetProperty().GetFont().lfHeight, -16);
        EXPECT_EQ(named->GetProperty().GetFont().lfWeight, 700);
    }
    EXPECT_EQ(label->GetProperty().GetTextColor(), RGB(10, 20, 30));
    EXPECT_EQ(line->GetProperty().GetLineColor(), g_GOPropertyTotal.GetProperty(SHAPE_LINE).GetLineColor());
    EXPECT_NE(line->GetProperty().GetLineColor(), CLR_AUTOMATIC);
    EXPECT_GT(s.canvas.invalidations, invalidationsBefore);
    ASSERT_FALSE(s.canvas.notices.empty());
    EXPECT_EQ(s.canvas.notices.back(), WM_GOBJECT_PROPERTY_CHANGED);
}

TEST(ObjectPropertySheet, TextGroupIsEditableOnlyWhereThereIsText)
{
    struct Case
    {
        OBJ_SHAPE shape;
        bool textEnabled;
    };
    for (const Case c : {Case{SHAPE_ANNO_LINE, false}, Case{SHAPE_TEXT, true}, Case{SHAPE_LINE, true}}) {
        SCOPED_TRACE(c.shape);
        MarkerScene s;
        CQvGObject* obj = s.container.CreateObject(c.shape);
        obj->SetContainer(&s.container);
        CObjPropertySheet sheet(&s.container);
        sheet.SetUpForObject(obj);
        bool face = !c.textEnabled, text = !c.textEnabled, bold = !c.textEnabled, colour = !c.textEnabled;
        MessageBoxes().QueueModal([&](QDialog& d) {
            face = Find<QWidget>(d, "face")->isEnabled();
            text = Find<QWidget>(d, "text")->isEnabled();
            bold = Find<QWidget>(d, "bold")->isEnabled();
            colour = Find<QWidget>(d, "textColor")->isEnabled();
        });
        EXPECT_EQ(sheet.DoModal(nullptr), IDCANCEL);
        EXPECT_EQ(face, c.textEnabled);
        EXPECT_EQ(text, c.textEnabled);
        EXPECT_EQ(bold, c.textEnabled);
        EXPECT_EQ(colour, c.textEnabled);
        obj->RemoveAll();
    }
}

TEST(ObjectPropertySheet, LineTransparentAndTypeAndHiddenEnds)
{
    struct Case
    {
        bool transparent;
        int typeIndex;
        int expectedType;
    };
    for (const Case c : {Case{true, 2, 5}, Case{false, 3, 3}}) {
        SCOPED_TRACE(c.expectedType);
        MarkerScene s;
        CQvGObject* line = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
        ASSERT_NE(line, nullptr);
        line->GetProperty().ShowLArrow(0);
        line->GetProperty().SetLineType(c.transparent ? 0 : 5);
        bool startEnabled = true;
        RunOn(s, {line}, [&](QDialog& d) {
            auto* start = Find<CLineEndCombo>(d, "start");
            startEnabled = start->isEnabled();
            start->SetArrowType(2);
            Find<QCheckBox>(d, "lineTransparent")->setChecked(c.transparent);
            Find<QComboBox>(d, "lineType")->setCurrentIndex(c.typeIndex);
            Press(d, "ok");
        });
        EXPECT_FALSE(startEnabled);
        EXPECT_EQ(line->GetProperty().GetLArrowType(), 2);
        EXPECT_EQ(line->GetProperty().GetLineType(), c.expectedType);
    }
}

TEST(ObjectPropertySheet, CancelLeavesTheOverlayByteForByte)
{
    MarkerScene s;
    CQvGObject* measured = s.Click(SHAPE_LINE, {CPoint(20, 40), CPoint(150, 40)});
    CQvGObject* text = s.container.CreateObject(SHAPE_TEXT);
    ASSERT_NE(text, nullptr);
    const CQvGObjectProperty before = measured->GetProperty();
    const std::vector<uint8_t> stream = s.Stream();
    for (CQvGObject* obj : {measured, text}) {
        CObjPropertySheet& sheet = s.container.GetPropertySheet();
        sheet.SetUpForObject(obj);
        MessageBoxes().QueueModal([&](QDialog& d) {
            Find<QPlainTextEdit>(d, "text")->setPlainText("changed");
            Find<QPushButton>(d, "italic")->setChecked(true);
            Find<QComboBox>(d, "size")->setCurrentIndex(0);
            Find<QSpinBox>(d, "weight")->setValue(4);
            Find<QCheckBox>(d, "fillTransparent")->setChecked(false);
            Find<CColorButton>(d, "fillColor")->SetColor(RGB(1, 2, 3));
            Press(d, "cancel");
        });
        EXPECT_EQ(sheet.DoModal(nullptr), IDCANCEL);
    }
    EXPECT_TRUE(measured->GetProperty() == before);
    EXPECT_EQ(s.Stream(), stream);
    text->RemoveAll();
}

TEST(ObjectPropertySheet, SeveralSelectedGetOnlyTheFieldsTheUserChanged)
{
    MarkerScene s;
    CQvGObject* a = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
    CQvGObject* b = s.Click(SHAPE_ANNO_LINE, {CPoint(20, 90), CPoint(150, 120)});
    ASSERT_TRUE(a && b);
    a->GetProperty().SetLineColor(RGB(200, 0, 0));
    a->GetProperty().SetLineWeight(3);
    b->GetProperty().SetLineColor(RGB(0, 0, 200));
    b->GetProperty().SetLineWeight(2);
    const COLORREF fill = RGB(0, 128, 0);
    const int result = RunOn(s, {a, b}, [&](QDialog& d) {
        EXPECT_TRUE(Find<QCheckBox>(d, "lineTransparent")->isChecked());
        EXPECT_FALSE(Find<QCheckBox>(d, "lineTransparent")->isEnabled());
        EXPECT_TRUE(Find<QPlainTextEdit>(d, "text")->isReadOnly());
        Find<CColorButton>(d, "fillColor")->SetColor(fill);
        Press(d, "ok");
    });
    EXPECT_EQ(result, 1);
    EXPECT_EQ(a->GetProperty().GetFillColor(), fill);
    EXPECT_EQ(b->GetProperty().GetFillColor(), fill);
    EXPECT_EQ(a->GetProperty().GetLineColor(), RGB(200, 0, 0));
    EXPECT_EQ(b->GetProperty().GetLineColor(), RGB(0, 0, 200));
    EXPECT_EQ(a->GetProperty().GetLineWeight(), 3);
    EXPECT_EQ(b->GetProperty().GetLineWeight(), 2);
    EXPECT_EQ(g_GOPropertyTotal.GetProperty(SHAPE_ANNO_LINE).GetFillColor(), fill);
}

TEST(ObjectPropertySheet, EditedDefaultsShapeTheNextObjectAndTheSheetOutlivesRemoveAll)
{
    MarkerScene s;
    s.Click(SHAPE_ANNO_LINE, {CPoint(20, 40), CPoint(150, 40)});
    s.container.RemoveAll();
    s.container.SelectionMode(1);
    MessageBoxes().QueueModal([&](QDialog& d) {
        Find<CColorButton>(d, "lineColor")->SetColor(RGB(0, 90, 180));
        Press(d, "ok");
    });
    EXPECT_EQ(s.container.OnPropertyAll(&s.canvas), 1);
    ASSERT_EQ(MessageBoxes().ModalDialogs().size(), 1u);
    CQvGObject* point = s.Click(SHAPE_POINT, {CPoint(50, 50)});
    ASSERT_NE(point, nullptr);
    EXPECT_EQ(point->GetProperty().GetLineColor(), RGB(0, 90, 180));
}

TEST(ObjectPropertySheet, DisplayValuePageListsTheQuantitiesKeepsOneCheckAndWritesIt)
{
    EditionGuard edition(0);
    MarkerScene s;
    CQvGObject* line = s.Click(SHAPE_LINE, {CPoint(20, 40), CPoint(150, 40)});
    ASSERT_NE(line, nullptr);
    ASSERT_EQ(line->GetDispType(), CAL_LENGTH);
    std::vector<int> bits;
    std::vector<bool> checkedAfter;
    QString tab;
    RunOn(s, {line}, [&](QDialog& d) {
        tab = Find<QTabWidget>(d, "pages")->tabText(1);
        auto* list = Find<QListWidget>(d, "values");
        for (int i = 0; i < list->count(); ++i)
            bits.push_back(list->item(i)->data(Qt::UserRole).toInt() |
                           (list->item(i)->checkState() == Qt::Checked ? 0x10000 : 0));
        list->item(1)->setCheckState(Qt::Checked);
        for (int i = 0; i < list->count(); ++i)
            checkedAfter.push_back(list->item(i)->checkState() == Qt::Checked);
        Press(d, "ok");
    });
    EXPECT_EQ(tab, "Measurement Value");
    EXPECT_EQ(bits, (std::vector<int>{0x10001, 0x20, 0x40, 0x1000, 0x2000, 0x4000}));
    EXPECT_EQ(checkedAfter, (std::vector<bool>{false, true, false, false, false, false}));
    EXPECT_EQ(line->GetDispType(), CAL_X_ANGLE);
}

TEST(ObjectPropertySheet, MeasurementWithoutItsValueLabelIsRenamedAlone)
{
    MarkerScene s;
    CQvGObject* line = s.Click(SHAPE_LINE, {CPoint(20, 40), CPoint(150, 40)});
    ASSERT_NE(line, nullptr);
    line->RemoveNestedObjs();  // as an overlay stream may hold it
    s.container.ObjectsChanged();
    line->GetProperty().SetName("Line-1");
    QString shown;
    EXPECT_EQ(RunOn(s, {line}, [&](QDialog& d) {
                  shown = Find<QPlainTextEdit>(d, "text")->toPlainText();
                  Find<QPlainTextEdit>(d, "text")->setPlainText("Width");
                  Press(d, "ok");
              }),
              1);
    EXPECT_EQ(shown, "Line-1");
    EXPECT_EQ(line->GetProperty().GetName(), "Width");
}
