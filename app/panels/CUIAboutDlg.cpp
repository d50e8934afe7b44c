#include "panels/CUIAboutDlg.h"

#include "core/CAppEnvironment.h"
#include "core/CFileVersionInfo.h"
#include "core/CVistrelApp.h"
#include "core/ProgramServices.h"
#include "qvcodec/CQvImageCodec.h"
#include "qvimage/CQvImage.h"
#include "qvimage/QvImageViews.h"
#include "resources/StringTable.h"
#include "strings/Format.h"
#include "ui/ModalDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QUrl>
#include <QVBoxLayout>

#include <filesystem>

namespace {

constexpr const char* kModule = "Vistrel";
constexpr uint32_t IDS_SUPPORT_EMAIL = 6001;
constexpr uint32_t IDS_HOMEPAGE = 6002;
constexpr uint32_t IDS_ABOUT = 6003;
constexpr uint32_t IDS_LEGAL_NOTICE = 6004;
constexpr uint32_t IDS_EMAIL_CAPTION = 8290;
constexpr uint32_t IDS_HOMEPAGE_CAPTION = 8291;
constexpr uint32_t IDS_SYSTEM_INFO = 8292;
constexpr uint32_t IDS_OK = 8293;
constexpr uint32_t IDS_LICENSE = 8294;
constexpr uint32_t IDS_VERSION_LINE = 8295;

const StringTableRegistrar kAboutStrings(
    kModule, {
                 {IDS_SUPPORT_EMAIL, "support@vistrel.example"},
                 {IDS_HOMEPAGE, "www.vistrel.example"},
                 {IDS_ABOUT, "About "},
                 {IDS_LEGAL_NOTICE,
                  "Warning: this program is protected by copyright law. Copying or distributing it, or any part of it, "
                  "without permission may result in civil and criminal penalties.",
                  "경고: 이 프로그램은 저작권법의 보호를 받습니다. 허가 없이 이 프로그램의 전부 또는 일부를 복제하거나 "
                  "배포하면 민사 및 형사상의 처벌을 받을 수 있습니다."},
                 {IDS_EMAIL_CAPTION, "E-mail :", "이메일 :"},
                 {IDS_HOMEPAGE_CAPTION, "Home Page : ", "홈페이지 : "},
                 {IDS_SYSTEM_INFO, "System Info", "시스템 정보"},
                 {IDS_OK, "OK", "확인"},
                 {IDS_LICENSE, "End-User License Agreement"},
                 {IDS_VERSION_LINE, "Version %d.%d.%d (Build Number : %d)"},
             });

QString Text(uint32_t id)
{
    return QString::fromStdString(LoadString(kModule, id));
}

QString Q(const std::string& text)
{
    return QString::fromStdString(text);
}

std::string VersionLine(const CFileVersionInfo& info)
{
    return Format(LoadString(kModule, IDS_VERSION_LINE).c_str(), info.GetProductVersion(3), info.GetProductVersion(2),
                  info.GetProductVersion(1), info.GetProductVersion(0));
}

// The product picture: drawn, so the box needs no image file beside the program.
QPixmap ProductPicture(const QString& name, QSize size)
{
    QPixmap picture(size);
    QPainter painter(&picture);
    QLinearGradient gradient(0, 0, size.width(), size.height());
    gradient.setColorAt(0, QColor(16, 42, 92));
    gradient.setColorAt(1, QColor(40, 120, 180));
    painter.fillRect(picture.rect(), gradient);
    painter.setPen(Qt::white);
    QFont font = painter.font();
    font.setPointSize(20);
    font.setBold(true);
    painter.setFont(font);
    painter.drawText(picture.rect().adjusted(16, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
    return picture;
}

QString Link(const QString& href, const QString& text)
{
    return QStringLiteral("<a href=\"%1\">%2</a>").arg(href.toHtmlEscaped(), text.toHtmlEscaped());
}

QLabel* AddLabel(QWidget* owner, int id, const QString& text)
{
    auto* label = new QLabel(text, owner);
    label->setObjectName(QString::number(id));
    return label;
}

}  // namespace

AboutBoxTexts MakeAboutBoxTexts(const AboutBoxSources& sources)
{
    AboutBoxTexts texts;
    texts.email = LoadString(kModule, IDS_SUPPORT_EMAIL);
    texts.homepage = LoadString(kModule, IDS_HOMEPAGE);

    CFileVersionInfo info;
    if (!sources.programPath.empty())
        info.Create(sources.programPath);
    texts.productName = info.GetProductName();
    texts.copyright = info.GetLegalCopyright();
    texts.versionLine = VersionLine(info);

    // The licence text, like the owner's "OEM/" folder, lies in the program folder: the root the program runs
    // from (--root), which is the executable's own folder unless another was given.
    std::error_code error;
    const std::filesystem::path program(sources.programPath);
    std::filesystem::path root(sources.installFolder);
    if (root.empty() && program.has_parent_path())
        root = program.parent_path();
    if (!root.empty()) {
        const std::filesystem::path license = root / "license.txt";
        if (std::filesystem::is_regular_file(license, error))
            texts.licensePath = license.lexically_normal().string();
    }
    texts.legalNotice = LoadString(kModule, IDS_LEGAL_NOTICE);
    texts.windowTitle = LoadString(kModule, IDS_ABOUT) + texts.productName + "...";

    if (sources.oem.present) {
        const OEM_TEXTS& oem = sources.korean ? sources.oem.kor : sources.oem.eng;
        texts.windowTitle = LoadString(kModule, IDS_ABOUT) + oem.title + " ...";
        texts.productName = oem.title;
        texts.copyright = oem.copyright;
        texts.email = oem.email;
        texts.homepage = oem.homepage;
        if (!oem.aboutbox_title_url.empty() && !root.empty())
            texts.picturePath = (root / "OEM" / oem.aboutbox_title_url).lexically_normal().string();
    }
    return texts;
}

CUIAboutDlg::CUIAboutDlg(const AboutBoxSources& sources, QWidget* parent)
    : QDialog(parent), m_texts(MakeAboutBoxTexts(sources))
{
    setObjectName(QStringLiteral("6010"));
    setWindowTitle(Q(m_texts.windowTitle));

    QPixmap picture;
    if (!m_texts.picturePath.empty()) {
        // Only through a codec, which reads what the rest of the program reads and checks what it hands the decoder:
        // the owner's file is outside bytes like any other. A file it refuses leaves the product picture.
        CQvImage image;
        CQvImageCodec ownCodec;
        const CQvImageCodec* codec = sources.codec;
        if (!codec && ownCodec.Install(nullptr) > 0)
            codec = &ownCodec;
        if (codec && codec->Read(m_texts.picturePath.c_str(), &image, nullptr, 0, -1, -1) == 1)
            picture = QPixmap::fromImage(QvImageToQImage(image).copy());
    }
    if (picture.isNull())
        picture = ProductPicture(Q(m_texts.productName), QSize(420, 90));
    QLabel* pictureLabel = AddLabel(this, kPicture, QString());
    pictureLabel->setPixmap(picture);

    QIcon icon = QApplication::windowIcon();
    if (icon.isNull())
        icon = style()->standardIcon(QStyle::SP_ComputerIcon);
    QLabel* iconLabel = AddLabel(this, kIcon, QString());
    iconLabel->setPixmap(icon.pixmap(32, 32));
    iconLabel->setAlignment(Qt::AlignTop);

    QLabel* license = AddLabel(this, kLicenseLink, QString());
    const QString licenseText = Text(IDS_LICENSE);
    license->setText(Link(QUrl::fromLocalFile(Q(m_texts.licensePath)).toString(), licenseText));
    license->setToolTip(licenseText);
    license->setOpenExternalLinks(true);
    license->setEnabled(!m_texts.licensePath.empty());

    QLabel* email = AddLabel(this, kEmailLink, Link("mailto:" + Q(m_texts.email), Q(m_texts.email)));
    email->setToolTip(Q(m_texts.email));
    email->setOpenExternalLinks(true);

    auto* details = new QGridLayout;
    details->addWidget(AddLabel(this, kProductName, Q(m_texts.productName)), 0, 0, 1, 2);
    details->addWidget(AddLabel(this, kVersion, Q(m_texts.versionLine)), 1, 0, 1, 2);
    details->addWidget(AddLabel(this, kCopyright, Q(m_texts.copyright)), 2, 0, 1, 2);
    details->addWidget(license, 3, 0, 1, 2);
    details->addWidget(AddLabel(this, kEmailCaption, Text(IDS_EMAIL_CAPTION)), 4, 0);
    details->addWidget(email, 4, 1);
    details->addWidget(AddLabel(this, kHomepageCaption, Text(IDS_HOMEPAGE_CAPTION)), 5, 0);
    details->addWidget(AddLabel(this, kHomepage, Q(m_texts.homepage)), 5, 1);
    details->setColumnStretch(1, 1);

    auto* middle = new QHBoxLayout;
    middle->addWidget(iconLabel);
    middle->addLayout(details, 1);

    QLabel* notice = AddLabel(this, kLegalNotice, Q(m_texts.legalNotice));
    notice->setWordWrap(true);

    auto* systemInfo = new QPushButton(Text(IDS_SYSTEM_INFO), this);
    systemInfo->setObjectName(QString::number(kSystemInfo));
    auto* ok = new QPushButton(Text(IDS_OK), this);
    ok->setObjectName(QString::number(kOk));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(systemInfo);
    buttons->addWidget(ok);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pictureLabel);
    layout->addLayout(middle);
    layout->addWidget(notice);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void RunAboutBox(QWidget* parent, ProgramServices& program)
{
    AboutBoxSources sources;
    sources.programPath = QCoreApplication::applicationFilePath().toStdString();
    sources.installFolder = program.App().ProgramFolder();
    sources.korean = program.Environment().GetLanguage() == CAppEnvironment::kLanguageKorean;
    sources.oem = program.App().OemInfo();
    sources.codec = &program.Codec();
    CUIAboutDlg dialog(sources, parent);
    RunModal(dialog);
}
