#include "chromex/PseudoColorDlg.h"

#include "chromex/ChromexStrings.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

namespace chromex {

namespace {

QString Text(int id)
{
    return QString::fromStdString(ChromexString(id));
}

QPushButton* MakeButton(const QString& text, int id)
{
    auto* button = new QPushButton(text);
    button->setObjectName(QString::number(id));
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CPseudoColorDlg::CPseudoColorDlg(CQvImage& image, std::function<void()> redraw, const std::string& folder,
                                 uint32_t seed, QWidget* parent)
    : QDialog(parent), m_image(image), m_source(image), m_redraw(std::move(redraw)), m_table(seed)
{
    setObjectName(QString::number(IDD));
    setWindowTitle(Text(IDS_PSEUDO_COLOR));
    m_destination.Create(QV_RGB24, m_source.GetWidth(), m_source.GetHeight(), 0);

    auto* predefined = new QGroupBox(Text(IDS_PREDEFINED));
    m_list = new QComboBox;
    m_list->setObjectName("2003");
    (new QVBoxLayout(predefined))->addWidget(m_list);

    auto* random = new QGroupBox(Text(IDS_RANDOM));
    m_interval = new QSpinBox;
    m_interval->setObjectName("2005");
    // The spin box's own edit stands for the read-only edit beside the up-down control.
    if (auto* edit = m_interval->findChild<QLineEdit*>()) {
        edit->setObjectName("2004");
        edit->setReadOnly(true);
    }
    m_interval->setRange(1, 10);
    m_interval->setValue(1);
    m_prev = MakeButton(Text(IDS_PREV), 2007);
    m_prev->setEnabled(false);
    auto* single = MakeButton(Text(IDS_SINGLE), 2002);
    m_play = MakeButton(Text(IDS_PLAY), 2006);
    m_play->setCheckable(true);
    auto* grid = new QGridLayout(random);
    grid->addWidget(new QLabel(Text(IDS_TIME_INTERVAL)), 0, 0);
    grid->addWidget(m_interval, 0, 1);
    grid->addWidget(new QLabel(Text(IDS_SECONDS)), 0, 2);
    auto* row = new QHBoxLayout;
    row->addWidget(m_prev);
    row->addWidget(single);
    row->addWidget(m_play);
    grid->addLayout(row, 1, 0, 1, 3);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->setObjectName("buttons");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(predefined);
    layout->addWidget(random);
    layout->addWidget(buttons);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QString::number(kPlayTimerId));
    connect(m_timer, &QTimer::timeout, this, &CPseudoColorDlg::OnSingle);
    connect(single, &QPushButton::clicked, this, &CPseudoColorDlg::OnSingle);
    connect(m_prev, &QPushButton::clicked, this, &CPseudoColorDlg::OnPrev);
    connect(m_play, &QPushButton::toggled, this, &CPseudoColorDlg::OnPlay);

    std::vector<std::string> refused;
    m_table.LoadPalettes(folder, &refused);
    if (!refused.empty()) {
        std::string names;
        for (const std::string& name : refused)
            names += (names.empty() ? "" : "\n") + name;
        std::string text = ChromexString(IDS_PALETTES_REFUSED);
        const size_t at = text.find("%s");
        if (at != std::string::npos)
            text.replace(at, 2, names);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
    for (const std::string& name : m_table.Names())
        m_list->addItem(QString::fromStdString(name));
    // Connected after filling, so the first entry is applied once, below.
    connect(m_list, &QComboBox::currentIndexChanged, this, &CPseudoColorDlg::OnSelectionChanged);
    if (m_list->count() > 0) {
        m_list->setCurrentIndex(0);
        OnSelectionChanged();
    }
}

void CPseudoColorDlg::OnSelectionChanged()
{
    if (m_list->currentIndex() >= 0)
        m_table.SelectByName(m_list->currentText().toStdString());
    Show();
}

void CPseudoColorDlg::OnSingle()
{
    m_table.MakeRandom();
    Show();
    m_prev->setEnabled(true);
}

void CPseudoColorDlg::OnPrev()
{
    if (!m_table.RestorePrevious())
        return;
    Show();
    m_prev->setEnabled(false);
}

void CPseudoColorDlg::OnPlay(bool checked)
{
    if (checked) {
        m_timer->start(m_interval->value() * 1000);
        m_play->setText(Text(IDS_STOP));
    } else {
        m_timer->stop();
        m_play->setText(Text(IDS_PLAY));
    }
}

void CPseudoColorDlg::Show()
{
    m_table.Apply(m_source, m_destination);
    m_image = m_destination;
    if (m_redraw)
        m_redraw();
}

}  // namespace chromex
