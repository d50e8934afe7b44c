#include "gobjects/ui/CObjectCommonProperty.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/ui/ColorPopup.h"
#include "gobjects/ui/OwnerDrawCombo.h"
#include "gobjects/ui/PageText.h"

#include "strings/StoredText.h"
#include "types/Rounding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>

namespace {

constexpr const char* kSizes[] = {"8",  "9",  "10", "11", "12", "14", "16", "18",
                                  "20", "22", "24", "26", "28", "36", "48", "72"};
constexpr LONG kBold = 700;
constexpr int kLineHidden = 5;

// A face name is stored as the text of this system is, UTF-8, and one from Windows may be in its code page.
QString FaceName(const LOGFONTA& font)
{
    return QString::fromStdString(StoredTextToUtf8(std::string(font.lfFaceName, strnlen(font.lfFaceName, LF_FACESIZE))));
}

// Stores the face as UTF-8 within the record's room, never cutting a character in two.
void SetFaceName(LOGFONTA& font, const QString& face)
{
    const std::string bytes = face.toStdString();
    size_t length = std::min(bytes.size(), sizeof font.lfFaceName - 1);
    while (length > 0 && length < bytes.size() && (static_cast<unsigned char>(bytes[length]) & 0xC0) == 0x80)
        --length;
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    std::memcpy(font.lfFaceName, bytes.data(), length);
}

template <class W>
W* Named(W* widget, const char* name)
{
    widget->setObjectName(name);
    return widget;
}

QPushButton* PushCheck(uint32_t caption, const char* name, QWidget* parent)
{
    auto* button = Named(new QPushButton(FiguronUiText(caption), parent), name);
    button->setCheckable(true);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

CObjectCommonProperty::CObjectCommonProperty() : CPropertyPage(FiguronUiText(IDS_PAGE_COMMON))
{
    setObjectName("commonPage");
    auto* layout = new QVBoxLayout(this);

    auto* textGroup = Named(new QGroupBox(FiguronUiText(IDS_GROUP_TEXT), this), "textGroup");
    auto* text = new QGridLayout(textGroup);
    m_face = Named(new CFontNameCombo(textGroup), "face");
    m_size = Named(new QComboBox(textGroup), "size");
    m_size->setEditable(true);
    for (const char* size : kSizes)
        m_size->addItem(QString::fromLatin1(size));
    m_text = Named(new QPlainTextEdit(textGroup), "text");
    m_bold = PushCheck(IDS_BOLD, "bold", textGroup);
    m_italic = PushCheck(IDS_ITALIC, "italic", textGroup);
    m_underline = PushCheck(IDS_UNDERLINE, "underline", textGroup);
    m_textColour = Named(new CColorButton(textGroup), "textColor");
    text->addWidget(m_face, 0, 0, 1, 3);
    text->addWidget(m_size, 0, 3);
    text->addWidget(m_text, 1, 0, 1, 4);
    text->addWidget(m_bold, 2, 0);
    text->addWidget(m_italic, 2, 1);
    text->addWidget(m_underline, 2, 2);
    text->addWidget(new QLabel(FiguronUiText(IDS_COLOR), textGroup), 3, 0);
    text->addWidget(m_textColour, 3, 1, 1, 3);
    layout->addWidget(textGroup);

    auto* lineGroup = Named(new QGroupBox(FiguronUiText(IDS_GROUP_LINE), this), "lineGroup");
    auto* line = new QGridLayout(lineGroup);
    m_start = Named(new CLineEndCombo(lineGroup), "start");
    m_start->SetSide(1);
    m_end = Named(new CLineEndCombo(lineGroup), "end");
    m_end->SetSide(0);
    m_weight = Named(new QSpinBox(lineGroup), "weight");
    m_weight->setRange(1, 5);
    m_lineType = Named(new CLineStyleCombo(lineGroup), "lineType");
    m_lineTransparent = Named(new QCheckBox(FiguronUiText(IDS_TRANSPARENT), lineGroup), "lineTransparent");
    m_lineColour = Named(new CColorButton(lineGroup), "lineColor");
    line->addWidget(new QLabel(FiguronUiText(IDS_LINE_START), lineGroup), 0, 0);
    line->addWidget(m_start, 0, 1);
    line->addWidget(new QLabel(FiguronUiText(IDS_LINE_END), lineGroup), 0, 2);
    line->addWidget(m_end, 0, 3);
    line->addWidget(new QLabel(FiguronUiText(IDS_WEIGHT), lineGroup), 1, 0);
    line->addWidget(m_weight, 1, 1);
    line->addWidget(new QLabel(FiguronUiText(IDS_LINE_TYPE), lineGroup), 1, 2);
    line->addWidget(m_lineType, 1, 3);
    line->addWidget(m_lineTransparent, 2, 0, 1, 2);
    line->addWidget(new QLabel(FiguronUiText(IDS_COLOR), lineGroup), 2, 2);
    line->addWidget(m_lineColour, 2, 3);
    layout->addWidget(lineGroup);

    auto* fillGroup = Named(new QGroupBox(FiguronUiText(IDS_GROUP_FILL), this), "fillGroup");
    auto* fill = new QGridLayout(fillGroup);
    m_fillTransparent = Named(new QCheckBox(FiguronUiText(IDS_TRANSPARENT), fillGroup), "fillTransparent");
    m_fillColour = Named(new CColorButton(fillGroup), "fillColor");
    fill->addWidget(m_fillTransparent, 0, 0, 1, 2);
    fill->addWidget(new QLabel(FiguronUiText(IDS_COLOR), fillGroup), 0, 2);
    fill->addWidget(m_fillColour, 0, 3);
    layout->addWidget(fillGroup);

    for (CColorButton* button : {m_textColour, m_lineColour, m_fillColour})
        button->SetTrackSelection(true);

    // Each font control changes one field of the working font and shows the result in the text box.
    connect(m_bold, &QPushButton::toggled, this, [this](bool on) {
        m_font.lfWeight = on ? kBold : 0;
        Edited(PF_FONT_WEIGHT);
        ShowPageFont();
    });
    connect(m_italic, &QPushButton::toggled, this, [this](bool on) {
        m_font.lfItalic = on ? 1 : 0;
        Edited(PF_FONT_ITALIC);
        ShowPageFont();
    });
    connect(m_underline, &QPushButton::toggled, this, [this](bool on) {
        m_font.lfUnderline = on ? 1 : 0;
        Edited(PF_FONT_UNDERLINE);
        ShowPageFont();
    });
    connect(m_face, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_filling || index < 0)
            return;
        SetFaceName(m_font, m_face->itemText(index));
        Edited(PF_FONT_FACE);
        ShowPageFont();
    });
    connect(m_size, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_filling || index < 0)
            return;
        const int points = std::atoi(m_size->itemText(index).toLatin1().constData());
        if (points > 0) {
            m_font.lfHeight = -MulDiv(points, 96, 72);
            Edited(PF_FONT_HEIGHT);
        }
    });
    connect(m_text, &QPlainTextEdit::textChanged, this, [this]() { Edited(kEditText); });
    connect(m_start, &QComboBox::currentIndexChanged, this, [this]() { Edited(PF_LEFT_ARROW_TYPE); });
    connect(m_end, &QComboBox::currentIndexChanged, this, [this]() { Edited(PF_RIGHT_ARROW_TYPE); });
    connect(m_weight, &QSpinBox::valueChanged, this, [this]() { Edited(PF_LINE_WEIGHT); });
    connect(m_lineType, &QComboBox::currentIndexChanged, this, [this]() { Edited(PF_LINE_TYPE); });
    connect(m_lineTransparent, &QCheckBox::toggled, this, [this](bool on) {
        m_lineColour->setEnabled(!on);
        Edited(kEditShowLine);
    });
    connect(m_fillTransparent, &QCheckBox::toggled, this, [this](bool on) {
        m_fillColour->setEnabled(!on);
        Edited(kEditShowFill);
    });
    // A colour taken from the popup counts even when it is the one the button had.
    const std::pair<CColorButton*, uint32_t> colours[] = {
        {m_textColour, PF_TEXT_COLOR}, {m_lineColour, PF_LINE_COLOR}, {m_fillColour, PF_FILL_COLOR}};
    for (const auto& [button, field] : colours) {
        button->notify = [this, field = field](UINT message, COLORREF, int) {
            if (message == CPN_SELENDOK)
                Edited(field);
        };
    }
}

void CObjectCommonProperty::Edited(uint32_t field)
{
    if (!m_filling)
        m_edited |= field;
}

uint32_t CObjectCommonProperty::EditedFields() const
{
    uint32_t edited = m_edited;
    if (m_textColour->GetColor() != m_openedText)
        edited |= PF_TEXT_COLOR;
    if (m_lineColour->GetColor() != m_openedLine)
        edited |= PF_LINE_COLOR;
    if (m_fillColour->GetColor() != m_openedFill)
        edited |= PF_FILL_COLOR;
    return edited;
}

CObjectCommonProperty::~CObjectCommonProperty() = default;

void CObjectCommonProperty::SetProperty(CQvGObjectProperty* property)
{
    m_property = property;
    m_object = nullptr;
}

void CObjectCommonProperty::SetGObject(CQvGObject* object)
{
    m_object = object;
    m_property = object ? &object->GetProperty() : nullptr;
}

void CObjectCommonProperty::ShowPageFont()
{
    QFont font;
    font.setFamily(FaceName(m_font));
    if (m_font.lfHeight != 0)
        font.setPixelSize(std::abs(static_cast<int>(m_font.lfHeight)));
    font.setBold(m_font.lfWeight >= kBold);
    font.setItalic(m_font.lfItalic != 0);
    font.setUnderline(m_font.lfUnderline != 0);
    m_text->setFont(font);
    m_text->document()->setModified(true);
}

void CObjectCommonProperty::SelectSize()
{
    // The first size whose text begins with the font's point size, as a prefix search of the list finds it.
    const QString points = QString::number(MulDiv(std::abs(static_cast<int>(m_font.lfHeight)), 72, 96));
    for (int i = 0; i < m_size->count(); ++i) {
        if (m_size->itemText(i).startsWith(points)) {
            m_size->setCurrentIndex(i);
            return;
        }
    }
    m_size->setCurrentIndex(-1);
    m_size->setEditText(points);
}

BOOL CObjectCommonProperty::OnInitDialog()
{
    if (!m_property)
        return 1;
    m_filling = true;
    const CQvGObjectProperty& property = *m_property;
    m_font = property.GetFont();
    m_edited = 0;

    m_face->SetFaceName(FaceName(m_font));
    m_face->Fill();
    SelectSize();

    CQvGObject* label = m_object ? m_object->GetLabelObject() : nullptr;
    const bool measurement = m_object && !m_object->IsAnnotation();
    {
        const QSignalBlocker b1(m_bold), b2(m_italic), b3(m_underline);
        m_bold->setChecked(m_font.lfWeight == kBold);
        m_italic->setChecked(m_font.lfItalic != 0);
        m_underline->setChecked(m_font.lfUnderline != 0);
    }
    ShowPageFont();

    // The text colour is that of whoever shows the text: an annotation itself, a measurement's value label.
    const COLORREF textColour = (measurement && label) ? label->GetProperty().GetTextColor() : property.GetTextColor();
    m_textColour->SetColor(textColour);
    m_textColour->SetDefaultColor(property.GetTextColor());

    m_start->SetArrowType(property.GetLArrowType());
    m_end->SetArrowType(property.GetRArrowType());
    m_weight->setValue(property.GetLineWeight());
    const int type = property.GetLineType();
    if (type >= 0 && type < m_lineType->count())
        m_lineType->SetPenStyle(type);
    else
        m_lineType->setCurrentIndex(-1);  // hidden or unknown: no style is chosen until the user picks one
    m_lineColour->SetColor(property.GetLineColor());
    m_lineColour->SetDefaultColor(property.GetLineColor());
    m_fillColour->SetColor(property.GetFillColor());
    m_fillColour->SetDefaultColor(property.GetFillColor());

    for (QWidget* w :
         std::initializer_list<QWidget*>{m_face, m_size, m_text, m_textColour, m_bold, m_italic, m_underline, m_start,
                                         m_end, m_lineTransparent, m_lineColour, m_fillTransparent, m_fillColour})
        w->setEnabled(true);
    m_text->setReadOnly(false);

    if (m_object) {
        std::string text;
        if (measurement)
            text = label ? label->GetProperty().GetName() : property.GetName();
        else
            text = property.GetComment();
        m_text->setPlainText(QString::fromStdString(text));
        m_text->document()->setModified(true);

        const OBJ_SHAPE shape = m_object->GetObjShape();
        if (m_object->IsAnnotation() && shape != SHAPE_TEXT && shape != SHAPE_SCALE_MARKER) {
            for (QWidget* w :
                 std::initializer_list<QWidget*>{m_face, m_size, m_text, m_textColour, m_bold, m_italic, m_underline})
                w->setEnabled(false);
        }
        m_start->setEnabled(property.IsShowLArrow() != 0);
        m_end->setEnabled(property.IsShowRArrow() != 0);
        m_lineTransparent->setEnabled(!measurement);
        m_lineTransparent->setChecked(!property.IsShowLine());
        m_lineColour->setEnabled(property.IsShowLine() != 0);
        m_fillTransparent->setChecked(!property.IsShowFill());
        m_fillColour->setEnabled(property.IsShowFill() != 0);
    } else {
        // Defaults of a shape: what is shown is not edited here, and there is no text of its own.
        m_lineTransparent->setChecked(true);
        m_lineTransparent->setEnabled(false);
        m_fillTransparent->setChecked(true);
        m_fillTransparent->setEnabled(false);
        m_lineColour->setEnabled(true);
        m_fillColour->setEnabled(true);
        m_text->clear();
        m_text->setReadOnly(true);
        m_text->setEnabled(false);
    }
    // "Automatic" stands for the colour each button opened with.
    m_openedText = m_textColour->GetColor();
    m_openedLine = m_lineColour->GetColor();
    m_openedFill = m_fillColour->GetColor();
    m_filling = false;
    return 1;
}

CQvGObjectProperty CObjectCommonProperty::Wanted(const CQvGObjectProperty& property) const
{
    CQvGObjectProperty wanted = property;
    wanted.SetFont(m_font);
    wanted.SetLArrowType(m_start->GetArrowType());
    wanted.SetRArrowType(m_end->GetArrowType());
    wanted.SetLineWeight(m_weight->value());
    wanted.SetTextColor(m_textColour->SwatchColour());
    if (m_lineType->currentIndex() >= 0)
        wanted.SetLineType(m_lineType->currentIndex());
    wanted.SetLineColor(m_lineColour->SwatchColour());
    wanted.SetFillColor(m_fillColour->SwatchColour());
    return wanted;
}

void CObjectCommonProperty::OnOK()
{
    if (!m_property)
        return;
    m_edited = EditedFields();
    // Untouched, the page writes nothing: an accepted sheet must not normalise what the user never saw changed.
    if (m_edited == 0)
        return;
    CQvGObjectProperty& property = *m_property;
    const CQvGObjectProperty wanted = Wanted(property);
    if (!m_object) {
        CopyPropertyFields(&property, wanted, m_edited & kPropertyFields);
        return;
    }

    CopyPropertyFields(&property, wanted, m_edited & kPropertyFields & ~PF_LINE_TYPE);
    if (m_edited & kEditText) {
        const std::string text = m_text->toPlainText().toStdString();
        if (m_object->IsAnnotation()) {
            property.SetComment(text);
        } else {
            property.SetName(text);
            // A measurement read without its value label has nothing more to rename.
            if (CQvGObject* label = m_object->GetLabelObject())
                label->GetProperty().SetName(text);
        }
    }
    if (!m_object->IsAnnotation()) {
        // What shows a measurement's text is its value label.
        if (CQvGObject* label = m_object->GetLabelObject())
            CopyPropertyFields(&label->GetProperty(), wanted, m_edited & (kFontFields | PF_TEXT_COLOR));
    }
    if (m_edited & kEditShowLine)
        property.ShowLine(!m_lineTransparent->isChecked());
    if ((m_edited & PF_LINE_TYPE) && property.GetLineType() != kLineHidden && m_lineType->currentIndex() >= 0)
        property.SetLineType(m_lineType->currentIndex());
    if (m_edited & kEditShowFill)
        property.ShowFill(!m_fillTransparent->isChecked());
    if (m_container)
        m_container->SetLatestProperty(m_object, m_object->GetObjShape());
}
