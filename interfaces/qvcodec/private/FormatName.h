// Qt's format name for a file extension or a format name a caller gives: "bmp", "jpeg", "png", "tiff", or "" when the
// name is none of the codec's formats.
#pragma once

#include <QString>

#include <string>

namespace qvcodec {

inline std::string FormatName(QString name)
{
    name = name.toLower();
    if (name == "jpg" || name == "jpeg")
        return "jpeg";
    if (name == "tif" || name == "tiff")
        return "tiff";
    if (name == "bmp" || name == "png")
        return name.toStdString();
    return "";
}

}  // namespace qvcodec
