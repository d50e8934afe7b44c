#include "qvcodec/CQvImageCodec.h"

#include "qvcodec/ImageFileBytes.h"
#include "qvcodec/private/BmpWithAlpha.h"
#include "qvcodec/private/FormatName.h"
#include "qvcodec/private/JpegToQvImage.h"
#include "qvcodec/private/PlainTiff.h"
#include "qvcodec/private/QImageToQvImage.h"
#include "qvimage/QvImageViews.h"
#include "qvcodec/private/StraightAlphaTiff.h"
#include "inifile/FileBytes.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>

#include <algorithm>
#include <cstdio>

using qvcodec::FormatName;

namespace {

struct FormatEntry
{
    const char* format;    // Qt's name
    const char* filter;    // "name|patterns"
    const char* patterns;  // for the list of all image files
};

// In the order of the filter (see CQvImageCodec.h); the native document sits between them.
constexpr FormatEntry kBmp{"bmp", "BMP (*.bmp)|*.bmp", "*.bmp"};
constexpr FormatEntry kJpeg{"jpeg", "JPEG (*.jpg;*.jpeg)|*.jpg;*.jpeg", "*.jpg;*.jpeg"};
constexpr FormatEntry kPng{"png", "PNG (*.png)|*.png", "*.png"};
constexpr FormatEntry kTiff{"tiff", "TIFF (*.tif;*.tiff)|*.tif;*.tiff", "*.tif;*.tiff"};
constexpr FormatEntry kFormats[] = {kBmp, kJpeg, kPng, kTiff};

constexpr const char* kDocumentFilter = "QRX Document (*.qrx)|*.qrx";
constexpr const char* kDocumentPatterns = "*.qrx";
constexpr int kJpegQuality = 90;
// Enough of a file's start for every installed reader to tell its format.
constexpr uint64_t kFormatProbeBytes = 64 << 10;

// The format Qt's reader takes `start` (a file's first bytes) for: `wanted` itself when given, else the one its
// content shows.
std::string FoundFormat(QByteArray& start, const std::string& wanted, bool detect)
{
    QBuffer buffer(&start);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QByteArray::fromStdString(wanted));
    reader.setAutoDetectImageFormat(detect);
    return FormatName(QString::fromLatin1(reader.format()));
}

bool CanReadAndWrite(const char* format)
{
    const QList<QByteArray> readable = QImageReader::supportedImageFormats();
    const QList<QByteArray> writable = QImageWriter::supportedImageFormats();
    return readable.contains(format) && writable.contains(format);
}

}  // namespace

int CQvImageCodec::Install(const char* folder)
{
    if (folder && *folder)
        QCoreApplication::addLibraryPath(QDir(QString::fromUtf8(folder)).absolutePath());
    m_formats.clear();
    for (const FormatEntry& entry : kFormats)
        if (CanReadAndWrite(entry.format))
            m_formats.push_back(entry.format);
    return static_cast<int>(m_formats.size());
}

bool CQvImageCodec::IsInstalled(const std::string& format) const
{
    return !format.empty() && std::find(m_formats.begin(), m_formats.end(), format) != m_formats.end();
}

int CQvImageCodec::Read(const char* path, CQvImage* image, const char* format, int frame, int width, int height,
                        QvCodecReadNote* note) const
{
    if (!path || !image || frame < 0)
        return 0;
    ImageFile file;
    if (!file.Open(path))
        return 0;
    const std::string wanted = format ? FormatName(QString::fromUtf8(format)) : std::string();
    if (format && !IsInstalled(wanted))
        return 0;
    const bool scaled = width > 0 && height > 0;
    // The format is told from the file's start; an uncompressed TIFF is then read by offset straight into the
    // image, and only other files are read whole.
    QByteArray bytes(static_cast<qsizetype>(std::min<uint64_t>(file.Size(), kFormatProbeBytes)), Qt::Uninitialized);
    if (!file.ReadAt(0, bytes.data(), static_cast<size_t>(bytes.size())))
        return 0;
    if (!scaled && FoundFormat(bytes, wanted, format == nullptr) == "tiff" && IsInstalled("tiff")) {
        switch (ReadPlainTiff(file, frame, *image)) {
        case PlainTiffResult::Read:
            if (note)
                *note = QvCodecReadNote{};
            return 1;
        case PlainTiffResult::Refused:
            return 0;
        case PlainTiffResult::NotPlain:
            break;
        }
    }
    if (!file.ReadAll(bytes))
        return 0;

    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, QByteArray::fromStdString(wanted));
    reader.setAutoDetectImageFormat(format == nullptr);
    const std::string found = FormatName(QString::fromLatin1(reader.format()));
    if (!IsInstalled(found))
        return 0;
    if (found == "jpeg" && !scaled && frame == 0) {
        // Straight into the image's rows; the decoder's own warnings refuse a file cut short.
        if (!IsDecodableImageFile(bytes, found, frame, ImageFileCheck::Structure))
            return 0;
        switch (DecodeJpegIntoQvImage(bytes, *image)) {
        case JpegDecodeResult::Decoded:
            if (note)
                *note = QvCodecReadNote{};
            return 1;
        case JpegDecodeResult::Refused:
            return 0;
        case JpegDecodeResult::NotHandled:
            break;
        }
    }
    if (!IsDecodableImageFile(bytes, found, frame, ImageFileCheck::WholePixelData))
        return 0;
    if (found == "tiff") {
        QImage straight = ReadStraightAlphaTiff(bytes, frame);
        if (!straight.isNull()) {
            if (scaled)
                straight = straight.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
            return QImageToQvImage(straight, *image, note) ? 1 : 0;
        }
    }
    if (frame > 0 && !reader.jumpToImage(frame))
        return 0;
    if (scaled)
        reader.setScaledSize(QSize(width, height));
    return ReadIntoQvImage(reader, *image, note) ? 1 : 0;
}

int CQvImageCodec::Save(const char* path, const CQvImage* image, const char* format) const
{
    if (!path || !image || image->IsEmpty())
        return 0;
    const QString target = QString::fromUtf8(path);
    const std::string name = FormatName(format ? QString::fromUtf8(format) : QFileInfo(target).suffix());
    if (!IsInstalled(name))
        return 0;

    // The view only reads the pixels: the writer never changes its source.
    QImage pixels = QvImageToQImage(const_cast<CQvImage&>(*image));
    // A TIFF colour map always has 256 entries; Qt's writer leaves those past a shorter table uninitialised, so
    // the same image would give different files. Black entries fill it (readers see the full map either way).
    if (name == "tiff" && pixels.format() == QImage::Format_Indexed8 && pixels.colorCount() < 256) {
        QList<QRgb> colours = pixels.colorTable();
        colours.resize(256, qRgb(0, 0, 0));
        pixels.setColorTable(colours);
    }
    // Qt's BMP writer drops alpha.
    const bool bmpWithAlpha = name == "bmp" && image->GetBitsPerPixel() == 32;
    // Through the atomic writer, whose stream shows every refused byte: Qt's image writers report success over a
    // file the disk cut short. A failure leaves the system's reason in errno.
    const bool written = WriteFileAtomically(path, [&](FILE* stream) {
        if (bmpWithAlpha) {
            const QByteArray bytes = BmpWithAlpha(*image);
            return std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream) ==
                   static_cast<size_t>(bytes.size());
        }
        QFile device;
        if (!device.open(stream, QIODevice::WriteOnly))
            return false;
        QImageWriter writer(&device, QByteArray::fromStdString(name));
        if (name == "jpeg")
            writer.setQuality(kJpegQuality);
        return writer.write(pixels) && device.flush() && std::ferror(stream) == 0;
    });
    return written ? 1 : 0;
}

int CQvImageCodec::GetFilter(std::string& filter) const
{
    filter.clear();
    if (m_formats.empty())
        return 0;
    std::string all = kDocumentPatterns;
    for (const FormatEntry& entry : kFormats)
        if (IsInstalled(entry.format))
            all += std::string(";") + entry.patterns;
    auto entryOf = [this](const FormatEntry& entry) {
        return IsInstalled(entry.format) ? std::string(entry.filter) + "|" : std::string();
    };
    filter = entryOf(kBmp) + kDocumentFilter + "|" + entryOf(kJpeg) + entryOf(kPng) + "All Image Files (" + all +
             ")|" + all + "|" + entryOf(kTiff) + "|";
    return 1;
}
