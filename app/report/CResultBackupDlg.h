// A result backup window: a snapshot of one view's results (its current report list and that list's statistics
// table) that stays open while the operator goes on measuring. A toolbar switches between the two lists and sends
// the list on screen to the clipboard as text, to a text file opened in the desktop's editor, or to a workbook.
// Any number can be open; the program keeps a list of them and the main frame closes them all when it goes.
// Contract: UI thread. Open() makes a window that deletes itself when closed; Escape does not close it.
#pragma once

#include "reportlib/CSafeArray2D.h"

#include <QDialog>

#include <string>
#include <vector>

class QAction;
class QTableWidget;
class QToolBar;

class CResultBackupDlg : public QDialog
{
    Q_OBJECT

public:
    // Control and command ids of the window (objectNames "resultsList", "statisticsList", toolbar actions
    // "statisticsModeAction", "clipboardAction", "notepadAction", "excelAction").
    static constexpr int kResultsListId = 801;
    static constexpr int kStatisticsListId = 802;

    explicit CResultBackupDlg(QWidget* parent = nullptr);
    ~CResultBackupDlg() override;

    // A new window, entered in the program's list and shown without blocking, a child of `parent`.
    static CResultBackupDlg* Open(QWidget* parent);
    static const std::vector<CResultBackupDlg*>& OpenWindows();
    // Closes (and so deletes) every open window.
    static void CloseAll();

    // Row 0 of the array gives the columns (80 pixels wide, left-aligned, in array order), every further row an item.
    void FillResults(const CSafeArray2D& table);
    void FillStatistics(const CSafeArray2D& table);

    bool IsShowingResults() const { return m_showResults; }
    // The list on screen as an array: column titles in row 0. In column order, or in the order shown.
    CSafeArray2D ShownList(bool displayOrder) const;
    // The clipboard and text-file text of the list on screen.
    std::string ReportText() const;

    // Toolbar commands.
    void OnStatisticsMode();
    void OnClipboard();
    void OnNotepad();
    // Nothing when the list on screen has no rows; otherwise the workbook path ("" when it failed).
    std::string OnExcel();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    static void Fill(QTableWidget& list, const CSafeArray2D& table);
    QTableWidget& ShownListWidget() const;
    void ShowList(bool results);

    QToolBar* m_toolBar = nullptr;
    QAction* m_statisticsAction = nullptr;
    QTableWidget* m_results = nullptr;
    QTableWidget* m_statistics = nullptr;
    bool m_showResults = true;
};
