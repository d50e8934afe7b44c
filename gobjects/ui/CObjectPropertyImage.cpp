#include "gobjects/ui/CObjectPropertyImage.h"

#include "gobjects/CQvGObjectContainer.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/ui/PageText.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

CObjectPropertyImage::CObjectPropertyImage(CQvGObjectImage* image, QWidget* parent)
    : CPropertyPage(FiguronUiText(IDS_PAGE_IMAGE), parent), m_image(image), m_opacity(new QSpinBox(this))
{
    m_opacity->setObjectName(QStringLiteral("opacity"));
    m_opacity->setRange(1, 100);
    connect(m_opacity, &QSpinBox::valueChanged, this, [this](int value) {
        // Live preview, only once the page shows the stamp's own value.
        if (!m_initialised || !m_image)
            return;
        m_image->SetOpacity(value);
        Repaint();
    });
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(new QLabel(FiguronUiText(IDS_OPACITY), this));
    layout->addWidget(m_opacity);
    layout->addWidget(new QLabel(QStringLiteral("%"), this));
    layout->addStretch();
}

void CObjectPropertyImage::Repaint()
{
    if (CQvGObjectContainer* container = m_image->GetContainer())
        container->InvalidateCanvas();
}

BOOL CObjectPropertyImage::OnInitDialog()
{
    if (!m_image)
        return 1;
    m_savedOpacity = m_image->GetOpacity();
    {
        const QSignalBlocker quiet(m_opacity);
        m_opacity->setValue(m_savedOpacity);
    }
    m_initialised = true;
    return 1;
}

void CObjectPropertyImage::OnCancel()
{
    if (!m_initialised || !m_image)
        return;
    m_image->SetOpacity(m_savedOpacity);
    Repaint();
}
