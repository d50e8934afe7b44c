// "Image Filters": a sheet of four pages (Enhancement, Edge, Morphological, User Defined) whose every button filters
// the starting image and shows the result in the document at once through `show`. The view that runs the sheet
// keeps the undo point: OK keeps the last result, Cancel restores the starting image. Built and driven without being
// shown: every control has an objectName (its control id; the pages' tab widget is "pages", the buttons "buttons").
#pragma once

#include "sieva/FilterOps.h"

#include "ipl/IplLib.h"
#include "qvimage/CQvImage.h"

#include <QDialog>

#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QComboBox;
class QSpinBox;

namespace gridctrl {
class CGridCtrl;
}

namespace sieva {

class CMainFilterSheet : public QDialog
{
public:
    // `source` (not owned) is the document's image as it was when the sheet opened; `show` takes each result;
    // `filterFolder` holds the kernel files.
    CMainFilterSheet(const IplImageHeader* source, std::function<void(CQvImage&&)> show, std::string filterFolder,
                     QWidget* parent = nullptr);

    // The user-defined kernel as the grid shows it (a cell that is no number counts as 0).
    std::vector<float> KernelFromGrid() const;
    int KernelRows() const { return m_rows; }
    int KernelColumns() const { return m_columns; }

private:
    QWidget* MakeEnhancementPage();
    QWidget* MakeEdgePage();
    QWidget* MakeMorphologicalPage();
    QWidget* MakeUserDefinedPage();
    QAbstractButton* AddRadio(QWidget* page, int id, int text, Filter filter);
    void Run(Filter filter);
    void OnIterationsChanged();

    // The user-defined page.
    void SizeKernel(int rows, int columns);
    void OnFiltering();
    void OnSaveFilter();
    void RefillFilterList();
    void OnFilterChosen(int index);

    const IplImageHeader* m_source;
    CQvImage m_pageImage;
    std::function<void(CQvImage&&)> m_show;
    std::string m_filterFolder;
    std::vector<std::pair<QAbstractButton*, Filter>> m_morphology;  // Close, Dilate, Erode, Open
    QSpinBox* m_iterations = nullptr;
    QSpinBox* m_rowSpin = nullptr;
    QSpinBox* m_columnSpin = nullptr;
    gridctrl::CGridCtrl* m_grid = nullptr;
    QComboBox* m_filterList = nullptr;
    int m_rows = 0;
    int m_columns = 0;
    bool m_sizingFromFile = false;
};

}  // namespace sieva
