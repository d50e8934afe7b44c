#include "sieva/FilterSheet.h"

#include "gridctrl/GridCtrl.h"

#include "sieva/FilterKernelFile.h"
#include "sieva/SievaStrings.h"

#include "common/IplBridge.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <memory>

namespace sieva {

namespace {

QString Text(int id)
{
    return QString::fromStdString(SievaString(id));
}

// A spin box whose edit only shows the number (the up-down control and its read-only buddy edit).
QSpinBox* MakeCounter(int id, int editId, int minimum, int maximum, int value)
{
    auto* spin = new QSpinBox;
    spin->setObjectName(QString::number(id));
    spin->setRange(minimum, maximum);
    spin->setValue(value);
    if (auto* edit = spin->findChild<QLineEdit*>()) {
        edit->setObjectName(QString::number(editId));
        edit->setReadOnly(true);
    }
    return spin;
}

// A cell's number as atof reads it, in the C locale; no number (or no finite one) counts as 0.
float CellValue(const QString& text)
{
    static const locale_t c = newlocale(LC_NUMERIC_MASK, "C", nullptr);
    const QByteArray bytes = text.trimmed().toUtf8();
    const double value = strtod_l(bytes.constData(), nullptr, c);
    return std::isfinite(value) && std::fabs(value) <= 3.4e38 ? static_cast<float>(value) : 0.0f;
}

// Shown with enough digits that reading the text back gives the same float.
QString CellText(float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    return QString::fromLatin1(text);
}

// The combo box refills its list whenever it gets the focus and before it opens.
class FilterList : public QComboBox
{
public:
    explicit FilterList(std::function<void()> refill) : m_refill(std::move(refill)) {}
    void showPopup() override
    {
        m_refill();
        QComboBox::showPopup();
    }

protected:
    void focusInEvent(QFocusEvent* event) override
    {
        m_refill();
        QComboBox::focusInEvent(event);
    }

private:
    std::function<void()> m_refill;
};

}  // namespace

CMainFilterSheet::CMainFilterSheet(const IplImageHeader* source, std::function<void(CQvImage&&)> show,
                                   std::string filterFolder, QWidget* parent)
    : QDialog(parent), m_source(source), m_show(std::move(show)), m_filterFolder(std::move(filterFolder))
{
    setWindowTitle(Text(IDS_IMAGE_FILTERS));
    if (std::unique_ptr<CQvImage> image{IplImageToQvImage(source)})
        m_pageImage = std::move(*image);
    if (!m_filterFolder.empty() && m_filterFolder.back() != '/')
        m_filterFolder += '/';

    auto* pages = new QTabWidget;
    pages->setObjectName("pages");
    pages->addTab(MakeEnhancementPage(), Text(IDS_PAGE_ENHANCEMENT));
    pages->addTab(MakeEdgePage(), Text(IDS_PAGE_EDGE));
    pages->addTab(MakeMorphologicalPage(), Text(IDS_PAGE_MORPHOLOGICAL));
    pages->addTab(MakeUserDefinedPage(), Text(IDS_PAGE_USER_DEFINED));
    // Four pages, as a property sheet shows them: every tab in sight, the sheet as wide as they need.
    pages->tabBar()->setUsesScrollButtons(false);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    layout->addWidget(buttons);
}

QAbstractButton* CMainFilterSheet::AddRadio(QWidget* page, int id, int text, Filter filter)
{
    auto* radio = new QRadioButton(Text(text), page);
    radio->setObjectName(QString::number(id));
    // clicked, not toggled: a click on the checked button filters again, as the page's buttons always did.
    connect(radio, &QRadioButton::clicked, this, [this, filter] { Run(filter); });
    page->layout()->addWidget(radio);
    return radio;
}

QWidget* CMainFilterSheet::MakeEnhancementPage()
{
    auto* page = new QWidget;
    page->setObjectName("4000");
    new QVBoxLayout(page);
    AddRadio(page, 4001, IDS_HIPASS3, Filter::HiPass3x3);
    AddRadio(page, 4016, IDS_HIPASS5, Filter::HiPass5x5);
    AddRadio(page, 4003, IDS_GAUSSIAN3, Filter::Gaussian3x3);
    AddRadio(page, 4014, IDS_GAUSSIAN5, Filter::Gaussian5x5);
    AddRadio(page, 4018, IDS_MEDIAN, Filter::Median);
    AddRadio(page, 4020, IDS_SHARPEN, Filter::Sharpen);
    AddRadio(page, 4022, IDS_MIN, Filter::Min);
    AddRadio(page, 4023, IDS_MAX, Filter::Max);
    return page;
}

QWidget* CMainFilterSheet::MakeEdgePage()
{
    auto* page = new QWidget;
    page->setObjectName("4004");
    new QVBoxLayout(page);
    AddRadio(page, 4012, IDS_ROBERTS, Filter::Roberts);
    AddRadio(page, 4005, IDS_SOBEL, Filter::Sobel);
    AddRadio(page, 4006, IDS_PREWITT, Filter::Prewitt);
    AddRadio(page, 4008, IDS_LAPLACIAN3, Filter::Laplacian3x3);
    AddRadio(page, 4010, IDS_LAPLACIAN5, Filter::Laplacian5x5);
    return page;
}

QWidget* CMainFilterSheet::MakeMorphologicalPage()
{
    auto* page = new QWidget;
    page->setObjectName("4007");
    new QVBoxLayout(page);
    QAbstractButton* erode = AddRadio(page, 4011, IDS_ERODE, Filter::Erode);
    QAbstractButton* dilate = AddRadio(page, 4013, IDS_DILATE, Filter::Dilate);
    QAbstractButton* open = AddRadio(page, 4015, IDS_OPEN, Filter::Open);
    QAbstractButton* close = AddRadio(page, 4017, IDS_CLOSE, Filter::Close);
    // The order in which a moved count re-applies the checked operation.
    m_morphology = {{close, Filter::Close}, {dilate, Filter::Dilate}, {erode, Filter::Erode}, {open, Filter::Open}};
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(Text(IDS_ITERATIONS)));
    m_iterations = MakeCounter(4021, 4019, 1, 5, 1);
    row->addWidget(m_iterations);
    static_cast<QVBoxLayout*>(page->layout())->addLayout(row);
    connect(m_iterations, &QSpinBox::valueChanged, this, &CMainFilterSheet::OnIterationsChanged);
    return page;
}

QWidget* CMainFilterSheet::MakeUserDefinedPage()
{
    auto* page = new QWidget;
    page->setObjectName("4009");
    auto* layout = new QGridLayout(page);
    m_grid = new gridctrl::CGridCtrl;
    m_grid->setObjectName("grid");
    m_grid->setMinimumSize(155, 155);
    layout->addWidget(m_grid, 0, 0, 6, 1);
    layout->addWidget(new QLabel(Text(IDS_ROW)), 0, 1);
    m_rowSpin = MakeCounter(4025, 4024, 1, 11, 3);
    layout->addWidget(m_rowSpin, 0, 2);
    layout->addWidget(new QLabel(Text(IDS_COL)), 1, 1);
    m_columnSpin = MakeCounter(4027, 4026, 1, 11, 3);
    layout->addWidget(m_columnSpin, 1, 2);
    auto* filtering = new QPushButton(Text(IDS_FILTERING));
    filtering->setObjectName("4028");
    filtering->setAutoDefault(false);
    layout->addWidget(filtering, 2, 1, 1, 2);
    auto* save = new QPushButton(Text(IDS_SAVE_FILTER));
    save->setObjectName("4029");
    save->setAutoDefault(false);
    layout->addWidget(save, 3, 1, 1, 2);
    layout->addWidget(new QLabel(Text(IDS_OPEN_FILTER)), 4, 1, 1, 2);
    m_filterList = new FilterList([this] { RefillFilterList(); });
    m_filterList->setObjectName("4030");
    layout->addWidget(m_filterList, 5, 1, 1, 2);

    SizeKernel(3, 3);
    connect(m_rowSpin, &QSpinBox::valueChanged, this, [this](int rows) {
        if (!m_sizingFromFile)
            SizeKernel(rows, m_columns);
    });
    connect(m_columnSpin, &QSpinBox::valueChanged, this, [this](int columns) {
        if (!m_sizingFromFile)
            SizeKernel(m_rows, columns);
    });
    connect(filtering, &QPushButton::clicked, this, &CMainFilterSheet::OnFiltering);
    connect(save, &QPushButton::clicked, this, &CMainFilterSheet::OnSaveFilter);
    connect(m_filterList, &QComboBox::activated, this, &CMainFilterSheet::OnFilterChosen);
    return page;
}

void CMainFilterSheet::Run(Filter filter)
{
    CQvImage result;
    if (RunFilter(filter, m_source, m_pageImage, m_iterations ? m_iterations->value() : 1, result))
        m_show(std::move(result));
}

void CMainFilterSheet::OnIterationsChanged()
{
    for (const auto& [button, filter] : m_morphology)
        if (button->isChecked()) {
            Run(filter);
            return;
        }
}

void CMainFilterSheet::SizeKernel(int rows, int columns)
{
    m_rows = rows;
    m_columns = columns;
    // One heading row and column around the values, 25-pixel cells.
    m_grid->DeleteAllItems();
    m_grid->SetEditable(true);
    m_grid->SetAutoSizeStyle(gridctrl::GVS_BOTH);
    if (!m_grid->SetRowCount(rows + 1) || !m_grid->SetColumnCount(columns + 1) || !m_grid->SetFixedRowCount(1) ||
        !m_grid->SetFixedColumnCount(1))
        return;
    for (int r = 0; r <= rows; ++r)
        m_grid->SetRowHeight(r, 25);
    for (int c = 0; c <= columns; ++c)
        m_grid->SetColumnWidth(c, 25);
    for (int r = 0; r <= rows; ++r)
        for (int c = 0; c <= columns; ++c) {
            gridctrl::CGridItemInfo item;
            item.row = r;
            item.col = c;
            item.mask = gridctrl::GVIF_TEXT;
            item.text = r == 0 && c > 0 ? std::to_string(c) : c == 0 && r > 0 ? std::to_string(r) : r > 0 ? "0" : "";
            m_grid->SetItem(item);
        }
    m_grid->SetFocusCell({1, 1});
}

std::vector<float> CMainFilterSheet::KernelFromGrid() const
{
    std::vector<float> values;
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c) {
            values.push_back(CellValue(QString::fromStdString(m_grid->GetItemText(r + 1, c + 1))));
        }
    return values;
}

void CMainFilterSheet::OnFiltering()
{
    const std::vector<float> values = KernelFromGrid();
    CQvImage result;
    if (RunKernel(m_pageImage, m_columns, m_rows, values.data(), result))
        m_show(std::move(result));
}

void CMainFilterSheet::OnSaveFilter()
{
    FileDialogRequest request;
    request.save = true;
    request.filter = SievaString(IDS_FILTER_FILES);
    request.defaultExtension = "flt";
    request.overwritePrompt = true;
    request.initialFile = m_filterFolder;
    const std::string path = ChooseFile(request);
    if (path.empty())
        return;
    CFilterKernel kernel;
    const std::vector<float> values = KernelFromGrid();
    if (!kernel.Set(m_columns, m_rows, values.data()) || !kernel.Save(path))
        AfxMessageBox(SievaString(IDS_KERNEL_NOT_WRITTEN, path), MB_OK | MB_ICONEXCLAMATION);
}

void CMainFilterSheet::RefillFilterList()
{
    const QString current = m_filterList->currentText();
    QStringList names;
    for (const QString& file : QDir(QString::fromStdString(m_filterFolder)).entryList({"*.flt"}, QDir::Files))
        names << file.left(file.lastIndexOf('.'));
    names.sort(Qt::CaseInsensitive);
    const QSignalBlocker quiet(m_filterList);
    m_filterList->clear();
    m_filterList->addItems(names);
    m_filterList->setCurrentIndex(m_filterList->findText(current));
}

void CMainFilterSheet::OnFilterChosen(int index)
{
    if (index < 0)
        return;
    const std::string path = m_filterFolder + m_filterList->itemText(index).toStdString() + ".flt";
    CFilterKernel kernel;
    if (!kernel.Load(path)) {
        // The grid keeps what it shows.
        AfxMessageBox(SievaString(IDS_KERNEL_NOT_READ, path), MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    // The Row and Col counters follow the file without clearing the grid they size.
    m_sizingFromFile = true;
    m_rowSpin->setValue(kernel.GetRows());
    m_columnSpin->setValue(kernel.GetColumns());
    m_sizingFromFile = false;
    SizeKernel(kernel.GetRows(), kernel.GetColumns());
    for (int r = 0; r < m_rows; ++r)
        for (int c = 0; c < m_columns; ++c)
            m_grid->SetItemText(r + 1, c + 1,
                                CellText(kernel.GetValues()[static_cast<size_t>(r) * m_columns + c]).toStdString());
}

}  // namespace sieva
