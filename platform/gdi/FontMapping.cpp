#include "gdi/private/FontMapping.h"

#include "strings/StoredText.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>

namespace gdi_detail {
namespace {

// fonts-wine installs its faces outside fontconfig's folders; the program asks for "Tahoma" by name, so its
// metric-compatible face is made known to Qt once.
void RegisterWindowsFaces()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
            if (QFile::exists(QString::fromLatin1(file)))
                QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        }
    });
}

int EmHeightForCellHeight(QFont font, int cellHeight)
{
    constexpr int reference = 256;
    font.setPixelSize(reference);
    const QFontMetricsF metrics(font);
    const double cellPerEm = (metrics.ascent() + metrics.descent()) / reference;
    return cellPerEm > 0 ? std::max(1, static_cast<int>(std::lround(cellHeight / cellPerEm))) : cellHeight;
}

}  // namespace

QFont ToQFont(const LOGFONTA& logFont)
{
    RegisterWindowsFaces();
    const size_t faceLength = strnlen(logFont.lfFaceName, LF_FACESIZE);
    // Faces are stored as every text is: UTF-8, or the Windows code page for one that came from there.
    QFont font(faceLength == 0 ? QStringLiteral("Arial")
                               : QString::fromStdString(StoredTextToUtf8(std::string(logFont.lfFaceName, faceLength))));
    font.setWeight(static_cast<QFont::Weight>(logFont.lfWeight <= 0 ? 400 : std::min<int>(logFont.lfWeight, 1000)));
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);
    if (logFont.lfHeight < 0)   // the least int, as a stored record may hold, has no int negation
        font.setPixelSize(static_cast<int>(std::min<int64_t>(-int64_t{logFont.lfHeight}, INT_MAX)));
    else if (logFont.lfHeight > 0)
        font.setPixelSize(EmHeightForCellHeight(font, logFont.lfHeight));
    else
        font.setPixelSize(kDefaultEmHeight);
    return font;
}

}  // namespace gdi_detail
