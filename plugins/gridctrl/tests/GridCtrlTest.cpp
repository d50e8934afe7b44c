#include "GridCtrlFixture.h"

#include "gdi/CMeasureDC.h"
#include "testing/MessageBoxRecorder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QTest>

#include <filesystem>

using namespace gridctrl;


TEST_F(GridCtrlTest, DrawsGridLinesOnTheLastPixelAndBackgroundBeyondTheCells)
{
    m_grid->SetFocusCell({});
    const QImage image = Grab();
    const QRgb line = Rgb(m_grid->GetGridLineColor());
    // Column 1 spans x 40..79 (grid line at 79), row 1 spans y 25..49 (grid line at 49).
    EXPECT_EQ(image.pixel(79, 60), line);
    EXPECT_EQ(image.pixel(60, 49), line);
    EXPECT_EQ(image.pixel(45, 30), Rgb(m_grid->GetDefaultCell(false, false).GetBackColor()));
    // Past the last column (5 x 40 = 200) and row (5 x 25 = 125): the grid's background.
    EXPECT_EQ(image.pixel(250, 60), Rgb(m_grid->GetGridBkColor()));
    EXPECT_EQ(image.pixel(60, 200), Rgb(m_grid->GetGridBkColor()));
}

TEST_F(GridCtrlTest, SelectedCellsUseTheHighlightAndTheFocusCellIsFramed)
{
    m_grid->SelectRange({2, 2, 2, 2});
    const QImage image = Grab();
    EXPECT_EQ(image.pixel(100, 60), QApplication::palette().color(QPalette::Highlight).rgb());
    // The focus cell (1, 1) is framed in its text colour (black) inside its grid lines.
    EXPECT_EQ(image.pixel(40, 37), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(60, 25), qRgb(0, 0, 0));
}

TEST_F(GridCtrlTest, ScrollsByWholeColumnsWithTheFixedPartFrozen)
{
    m_grid->resize(130, 300);
    QApplication::processEvents();
    QScrollBar* bar = m_grid->horizontalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    m_grid->SetColumnWidth(1, 0);  // hidden: a line step skips it
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(m_grid->GetTopLeftNonFixedCell().col, 3);
    QRect rect;
    ASSERT_TRUE(m_grid->GetCellRect(1, 3, rect));
    EXPECT_EQ(rect.left(), 40);
    ASSERT_TRUE(m_grid->GetCellRect(1, 0, rect));
    EXPECT_EQ(rect.left(), 0);
    EXPECT_EQ(m_grid->CellFromPoint({45, 30}), (CGridCellId{1, 3}));
    EXPECT_EQ(m_grid->CellFromPoint({10, 30}), (CGridCellId{1, 0}));
    EXPECT_EQ(m_grid->CellFromPoint({10, 30}, false), CGridCellId{});
}

TEST_F(GridCtrlTest, NavigationKeys)
{
    m_grid->SetRowHeight(3, 0);
    struct Case { CGridCellId from; int key; Qt::KeyboardModifiers modifiers; CGridCellId to; };
    for (const Case& c : {Case{{1, 1}, Qt::Key_Right, Qt::NoModifier, {1, 2}},
                          Case{{1, 1}, Qt::Key_Left, Qt::NoModifier, {1, 1}},
                          Case{{2, 1}, Qt::Key_Down, Qt::NoModifier, {4, 1}},  // past the hidden row
                          Case{{1, 4}, Qt::Key_Tab, Qt::NoModifier, {2, 1}},
                          Case{{4, 4}, Qt::Key_Tab, Qt::NoModifier, {4, 4}},
                          Case{{2, 1}, Qt::Key_Backtab, Qt::ShiftModifier, {1, 4}},
                          Case{{2, 3}, Qt::Key_Home, Qt::NoModifier, {2, 1}},
                          Case{{2, 1}, Qt::Key_End, Qt::ControlModifier, {4, 4}},
                          Case{{4, 4}, Qt::Key_Home, Qt::ControlModifier, {1, 1}}}) {
        m_grid->SetFocusCell(c.from);
        Key(c.key, c.modifiers);
        EXPECT_EQ(m_grid->GetFocusCell(), c.to) << c.key;
    }
    m_grid->SetFocusCell({1, 1});
    m_grid->SetSelectionStart({1, 1});
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{1, 1, 2, 2}));
}

// Whatever character opens the editor is typed into it, including those that share a code with a navigation key.
TEST_F(GridCtrlTest, TheEditorsFirstKeyIsTheCharacterTyped)
{
    for (const char* typed : {"7", "!", "(", "%", "-"}) {
        m_grid->SetFocusCell({1, 1});
        QTest::keyClicks(m_grid.get(), typed);
        QApplication::processEvents();
        QLineEdit* editor = m_grid->Editor();
        ASSERT_NE(editor, nullptr) << typed;
        EXPECT_EQ(editor->text().toStdString(), typed);
        Key(Qt::Key_Return, Qt::NoModifier, editor);
        EXPECT_EQ(m_grid->GetItemText(1, 1), typed);
    }
}

TEST_F(GridCtrlTest, EditingFlows)
{
    // F2: caret after the old text; Enter commits.
    Key(Qt::Key_F2);
    QLineEdit* editor = m_grid->Editor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->cursorPosition(), 2);
    QTest::keyClicks(editor, "5");
    Key(Qt::Key_Return, Qt::NoModifier, editor);
    EXPECT_EQ(m_grid->GetItemText(1, 1), "115");
    EXPECT_EQ(m_grid->Editor(), nullptr);

    // Esc keeps the old text and sets no modified mark.
    m_grid->SetModified(false);
    QTest::keyClicks(m_grid.get(), "9");
    Key(Qt::Key_Escape, Qt::NoModifier, m_grid->Editor());
    EXPECT_EQ(m_grid->GetItemText(1, 1), "115");
    EXPECT_FALSE(m_grid->GetModified(1, 1));

    // An editor opened by typing: Down commits, moves down and reopens with the text selected.
    QTest::keyClicks(m_grid.get(), "3");
    Key(Qt::Key_Down, Qt::NoModifier, m_grid->Editor());
    EXPECT_EQ(m_grid->GetItemText(1, 1), "3");
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{2, 1}));
    ASSERT_NE(m_grid->Editor(), nullptr);
    EXPECT_EQ(m_grid->Editor()->selectedText(), "21");
    // Tab commits and moves right.
    Key(Qt::Key_Tab, Qt::NoModifier, m_grid->Editor());
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{2, 2}));
    Key(Qt::Key_Escape, Qt::NoModifier, m_grid->Editor());

    // An editor opened with F2 keeps the arrows for its caret.
    Key(Qt::Key_F2);
    Key(Qt::Key_Left, Qt::NoModifier, m_grid->Editor());
    ASSERT_NE(m_grid->Editor(), nullptr);
    EXPECT_EQ(m_grid->Editor()->cursorPosition(), 1);
    Key(Qt::Key_Escape, Qt::NoModifier, m_grid->Editor());

    // Backspace opens it without the last character; Delete empties the cell.
    Key(Qt::Key_Backspace);
    ASSERT_NE(m_grid->Editor(), nullptr);
    EXPECT_EQ(m_grid->Editor()->text(), "2");
    Key(Qt::Key_Escape, Qt::NoModifier, m_grid->Editor());
    Key(Qt::Key_Delete);
    EXPECT_EQ(m_grid->GetItemText(2, 2), "");
}

TEST_F(GridCtrlTest, ClickOnTheFocusCellOpensTheEditor)
{
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, QPoint(100, 60));  // (2, 2)
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{2, 2}));
    EXPECT_EQ(m_grid->Editor(), nullptr);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, QPoint(100, 60));
    ASSERT_NE(m_grid->Editor(), nullptr);
    EXPECT_EQ(m_grid->Editor()->text(), "22");
    Key(Qt::Key_Escape, Qt::NoModifier, m_grid->Editor());
    // A heading click selects its column.
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, QPoint(140, 10));
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{1, 3, 4, 3}));
}

TEST_F(GridCtrlTest, CopyAndPasteSpreadsheetText)
{
    m_grid->SelectRange({1, 1, 2, 2});
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), "11\t12\n21\t22");
    QApplication::clipboard()->setText("1.5\t-2\r\n0.25\t4\r\n");
    m_grid->SetFocusCell({3, 3});
    Key(Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(m_grid->GetItemText(3, 3), "1.5");
    EXPECT_EQ(m_grid->GetItemText(3, 4), "-2");
    EXPECT_EQ(m_grid->GetItemText(4, 3), "0.25");
    EXPECT_EQ(m_grid->GetItemText(4, 4), "4");
}

TEST_F(GridCtrlTest, ExpandColumnsToFitSpreadsTheSpareWidth)
{
    CGridCtrl grid(1, 3);
    grid.resize(200, 100);
    grid.show();
    QApplication::processEvents();
    const int spare = grid.viewport()->width() - grid.GetVirtualWidth();
    const int widths[] = {grid.GetColumnWidth(0), grid.GetColumnWidth(1), grid.GetColumnWidth(2)};
    grid.ExpandColumnsToFit();
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(grid.GetColumnWidth(c), widths[c] + spare / 3 + (c < spare % 3 ? 1 : 0));
}

// Two pages, the second holding a row taller than a page: it is printed, not left blank.
TEST_F(GridCtrlTest, PrintsPagesToPdfIncludingARowTallerThanAPage)
{
    m_grid->SetRowHeight(4, 2000);
    m_grid->SetItemText(4, 1, "TALLROW");
    const std::filesystem::path pdf = std::filesystem::temp_directory_path() / "gridctrl_print.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(m_grid->Print(printer));
    QFile file(QString::fromStdString(pdf.string()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_EQ(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "), 2);
    file.close();
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        const std::string text = (pdf.string() + ".txt");
        ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + text + "'").c_str()), 0);
        QFile out(QString::fromStdString(text));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        const QByteArray words = out.readAll();
        EXPECT_TRUE(words.contains("Page 1 of 2"));
        EXPECT_TRUE(words.contains("Page 2 of 2"));
        EXPECT_TRUE(words.contains("TALLROW"));
        std::filesystem::remove(text);
    }
    std::filesystem::remove(pdf);
    int header, footer, left, right, top, bottom, gap;
    m_grid->SetPrintMarginInfo(3, -1, -1, -1, -1, -1, -1);
    m_grid->GetPrintMarginInfo(header, footer, left, right, top, bottom, gap);
    EXPECT_EQ(header, 3);
    EXPECT_EQ(footer, 2);
    EXPECT_EQ(left, 4);
}

// The print dialog comes first; cancelling it prints nothing, confirming it prints on the printer it set up.
TEST_F(GridCtrlTest, PrintGoesThroughThePrintDialog)
{
    const std::filesystem::path pdf = std::filesystem::temp_directory_path() / "gridctrl_dialog_print.pdf";
    std::filesystem::remove(pdf);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(pdf.string()));
    auto& prompts = testing_support::MessageBoxes();
    prompts.QueueModal([](QDialog& dialog) { dialog.reject(); });
    EXPECT_FALSE(m_grid->Print(&printer));
    EXPECT_FALSE(std::filesystem::exists(pdf));
    ASSERT_EQ(prompts.ModalDialogs().size(), 1u);

    bool sawPrintDialog = false;
    prompts.QueueModal([&](QDialog& dialog) {
        sawPrintDialog = qobject_cast<QPrintDialog*>(&dialog) != nullptr;
        // Confirmed as set up: accept() would first copy the dialog's own choices (no printer here) over them.
        dialog.done(QDialog::Accepted);
    });
    ASSERT_TRUE(m_grid->Print(&printer));
    EXPECT_TRUE(sawPrintDialog);
    EXPECT_TRUE(std::filesystem::exists(pdf));
    EXPECT_GT(std::filesystem::file_size(pdf), 0u);
    std::filesystem::remove(pdf);
}

// A cell with a font of its own draws with it: taller, bolder ink than the same text in the grid's font.
TEST_F(GridCtrlTest, CellsDrawInTheirOwnFont)
{
    m_grid->SetRowHeight(2, 40);
    m_grid->SetColumnWidth(2, 80);
    m_grid->SetColumnWidth(3, 80);
    m_grid->SetFocusCell({});
    m_grid->SetItemText(2, 2, "22");
    m_grid->SetItemText(2, 3, "22");
    LOGFONTA big = *m_grid->GetItemFont(2, 2);
    big.lfHeight = 2 * big.lfHeight;
    big.lfWeight = 700;
    ASSERT_TRUE(m_grid->SetItemFont(2, 2, &big));
    const QImage image = Grab();
    // Cell (2, 2) spans x 40+40..159, cell (2, 3) x 160..239, both y 50..89.
    const auto ink = [&](int left) {
        int pixels = 0, top = 1000, bottom = -1;
        for (int y = 51; y < 88; ++y)
            for (int x = left + 2; x < left + 77; ++x)
                if (qGray(image.pixel(x, y)) < 128) {
                    ++pixels;
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        return std::pair{pixels, bottom - top};
    };
    const auto own = ink(80), plain = ink(160);
    ASSERT_GT(plain.first, 0);
    EXPECT_GT(own.first, 2 * plain.first);
    EXPECT_GT(own.second, plain.second + plain.second / 2);
    if (HasFailure())
        image.save(QString::fromStdString((std::filesystem::current_path() / "CellsDrawInTheirOwnFont.png").string()));
}

TEST_F(GridCtrlTest, ListModeKeysSelectRowsAndTabCanBeLeftToTheDialog)
{
    m_grid->SetListMode(true);
    m_grid->SetFocusCell({1, 2});
    Key(Qt::Key_Down);
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{2, 1, 2, 4}));
    Key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(m_grid->GetSelectedCellRange(), (CGridCellRange{2, 1, 3, 4}));
    m_grid->SetListMode(false);

    m_grid->SetFocusCell({1, 1});
    m_grid->SetHandleTabKey(false);
    Key(Qt::Key_Tab);
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{1, 1}));
    m_grid->SetHandleTabKey(true);
    Key(Qt::Key_Tab);
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{1, 2}));
}

TEST_F(GridCtrlTest, EditCommandsAndTheClickCommand)
{
    m_grid->ResetSelectedRange();
    EXPECT_FALSE(m_grid->CanCopy());
    m_grid->SelectRange({1, 1, 2, 2});
    EXPECT_TRUE(m_grid->CanCopy());
    EXPECT_TRUE(m_grid->CanCut());
    m_grid->SetFocusCell({1, 1});
    QApplication::clipboard()->setText("5");
    EXPECT_TRUE(m_grid->CanPaste());
    m_grid->SetItemState(1, 1, m_grid->GetItemState(1, 1) | GVIS_READONLY);
    EXPECT_FALSE(m_grid->CanPaste());
    m_grid->SetEditable(false);
    EXPECT_FALSE(m_grid->CanCut());
    EXPECT_TRUE(m_grid->CanCopy());

    // The click command comes after the click, not inside it.
    int clicked = 0;
    m_grid->onClicked = [&] { ++clicked; };
    Click({100, 60});
    EXPECT_EQ(clicked, 0);
    QTRY_COMPARE_WITH_TIMEOUT(clicked, 1, 5000);
    Click({350, 250});  // past the cells
    QApplication::processEvents();
    EXPECT_EQ(clicked, 1);
}

TEST_F(GridCtrlTest, ColoursThatFollowTheSystemFollowItsChanges)
{
    m_grid->GetDefaultCell(true, false).SetBackColor(RGB(1, 2, 3));  // the owner's choice
    QPalette palette = m_grid->palette();
    palette.setColor(QPalette::Base, QColor(10, 20, 30));
    palette.setColor(QPalette::Button, QColor(40, 50, 60));
    m_grid->setPalette(palette);
    EXPECT_EQ(m_grid->GetDefaultCell(false, false).GetBackColor(), RGB(10, 20, 30));
    EXPECT_EQ(m_grid->GetDefaultCell(false, true).GetBackColor(), RGB(40, 50, 60));
    EXPECT_EQ(m_grid->GetDefaultCell(true, false).GetBackColor(), RGB(1, 2, 3));
    m_grid->SetFocusCell({});
    EXPECT_EQ(Grab().pixel(60, 30), qRgb(10, 20, 30));
}

TEST_F(GridCtrlTest, FittingToTheClientArea)
{
    // The viewport is wider and taller than the 200 x 125 of cells.
    const QSize client = m_grid->viewport()->size();
    m_grid->ExpandLastColumn();
    EXPECT_EQ(m_grid->GetVirtualWidth(), client.width());
    EXPECT_EQ(m_grid->GetColumnWidth(0), 40);
    m_grid->ExpandToFit();
    EXPECT_EQ(m_grid->GetVirtualHeight(), client.height());

    // The unobstructed range leaves out a row shown only in part.
    CGridCtrl grid(10, 3, 1, 1);
    grid.resize(300, 100);
    grid.show();
    QApplication::processEvents();
    for (int r = 0; r < 10; ++r)
        grid.SetRowHeight(r, 30);
    const int shown = grid.viewport()->height() / 30;  // whole rows, the heading included
    EXPECT_EQ(grid.GetVisibleNonFixedCellRange().maxRow, shown);
    EXPECT_EQ(grid.GetUnobstructedNonFixedCellRange().maxRow,
              grid.viewport()->height() % 30 == 0 ? shown : shown - 1);

    grid.FillClientWithCells();
    const CGridDefaultCell& cell = grid.GetDefaultCell(false, false);
    EXPECT_EQ(grid.GetColumnCount(), grid.viewport()->width() / cell.GetWidth() + 1);
    EXPECT_EQ(grid.GetFixedRowCount(), 1);
    EXPECT_EQ(grid.GetVirtualWidth(), grid.viewport()->width());
}

namespace {

int PdfPages(const std::filesystem::path& pdf)
{
    QFile file(QString::fromStdString(pdf.string()));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    return static_cast<int>(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page "));
}

}  // namespace

// At the screen's scale a wide grid goes over column pages, each with the row headings; fitted, one page wide.
TEST_F(GridCtrlTest, WysiwygPrintingAddsColumnPages)
{
    m_grid->SetColumnCount(30);
    for (int c = 1; c < 30; ++c) {
        m_grid->SetColumnWidth(c, 120);
        m_grid->SetItemText(1, c, "C" + std::to_string(c));
    }
    m_grid->SetItemText(1, 0, "HEAD1");
    const std::filesystem::path pdf = std::filesystem::temp_directory_path() / "gridctrl_wysiwyg.pdf";
    const auto print = [&] {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        EXPECT_TRUE(m_grid->Print(printer));
        return PdfPages(pdf);
    };
    EXPECT_EQ(print(), 1);
    m_grid->SetWysiwygPrinting(true);
    const int pages = print();
    EXPECT_GT(pages, 1);
    if (std::system("command -v pdftotext >/dev/null 2>&1") == 0) {
        const std::string text = pdf.string() + ".txt";
        ASSERT_EQ(std::system(("pdftotext '" + pdf.string() + "' '" + text + "'").c_str()), 0);
        QFile out(QString::fromStdString(text));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        const QByteArray words = out.readAll();
        // Every page has the row heading; the last column is printed somewhere.
        EXPECT_EQ(words.count("HEAD1"), pages);
        EXPECT_TRUE(words.contains("C29"));
        EXPECT_TRUE(words.contains(QByteArray("Page 1 of ") + QByteArray::number(pages)));
        std::filesystem::remove(text);
    }
    std::filesystem::remove(pdf);
}

// A cell's image sits at its top left, past the margin, and pushes its text right; measuring counts it.
TEST_F(GridCtrlTest, CellsShowTheirImageLeftOfTheText)
{
    QImage red(8, 8, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    m_grid->SetImageList({red});
    m_grid->SetFocusCell({});
    const SIZE plain = m_grid->GetCell(2, 2)->GetCellExtent(CMeasureDC::ThisThread());
    ASSERT_TRUE(m_grid->SetItemImage(2, 2, 0));
    const SIZE withImage = m_grid->GetCell(2, 2)->GetCellExtent(CMeasureDC::ThisThread());
    EXPECT_EQ(withImage.cx, plain.cx + 8);
    const int margin = static_cast<int>(m_grid->GetCell(2, 2)->GetMargin());
    const QImage image = Grab();
    // Cell (2, 2) starts at (80, 50).
    EXPECT_EQ(image.pixel(80 + margin, 50), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(80 + margin + 7, 57), qRgb(255, 0, 0));
    EXPECT_NE(image.pixel(80 + margin + 8, 57), qRgb(255, 0, 0));
    // An index past the list shows nothing.
    m_grid->SetItemImage(2, 2, 5);
    EXPECT_NE(Grab().pixel(80 + margin, 50), qRgb(255, 0, 0));
}

// Page Down scrolls a page and moves the focus by the rows the view moved; at the end it goes to the last row.
TEST_F(GridCtrlTest, PageKeysMoveByWhatTheViewScrolled)
{
    m_grid->SetRowCount(40);
    for (int r = 5; r < 40; ++r)
        m_grid->SetRowHeight(r, 25);
    m_grid->resize(300, 150);
    QApplication::processEvents();
    m_grid->SetFocusCell({2, 1});
    Key(Qt::Key_PageDown);
    const int moved = m_grid->GetTopLeftNonFixedCell().row - 1;
    ASSERT_GT(moved, 0);
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{2 + moved, 1}));
    for (int i = 0; i < 20; ++i)
        Key(Qt::Key_PageDown);
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{39, 1}));
    for (int i = 0; i < 20; ++i)
        Key(Qt::Key_PageUp);
    EXPECT_EQ(m_grid->GetFocusCell(), (CGridCellId{1, 1}));
    EXPECT_EQ(m_grid->GetTopLeftNonFixedCell().row, 1);
}
