#include "gobjects/ui/CPropertyPage.h"

CPropertyPage::CPropertyPage(const QString& caption, QWidget* parent) : QWidget(parent), m_caption(caption) {}

CPropertyPage::~CPropertyPage() = default;
