#include "gdi/TextCache.h"

#include "gdi/private/FontMapping.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QString>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <functional>
#include <limits>
#include <mutex>

namespace gdi_detail {
namespace {

// Counts changes of the installed fonts (and ends of the application object); a cache that saw another count
// holds fonts and glyphs that may no longer be what Qt would pick.
std::atomic<uint64_t> g_fontGeneration{0};
std::atomic<uint64_t> g_nextFontId{1};

// What shapes are counted as: a glyph's index and position, and a run's own data.
constexpr size_t kGlyphBytes = sizeof(quint32) + sizeof(QPointF);
constexpr size_t kGlyphRunBytes = 128;

std::mutex g_watchMutex;
const QCoreApplication* g_watchedApplication = nullptr;

void ForgetFontsOfEndingApplication()
{
    {
        const std::lock_guard lock(g_watchMutex);
        g_watchedApplication = nullptr;
    }
    g_fontGeneration.fetch_add(1);
    // Post routines run on the thread that destroys the application; other threads drop theirs on next use.
    TextCache::ThisThread().Clear();
}

void WatchFontDatabase()
{
    const std::lock_guard lock(g_watchMutex);
    QGuiApplication* application = qGuiApp;
    if (application == nullptr || application == g_watchedApplication)
        return;
    g_watchedApplication = application;
    QObject::connect(application, &QGuiApplication::fontDatabaseChanged, [] { g_fontGeneration.fetch_add(1); });
    qAddPostRoutine(&ForgetFontsOfEndingApplication);
}

LOGFONTA FontKey(const LOGFONTA& font)
{
    LOGFONTA key = font;
    key.lfEscapement = 0;
    key.lfOrientation = 0;
    // Bytes after the face name's end are whatever the caller left there.
    const size_t faceLength = strnlen(key.lfFaceName, LF_FACESIZE);
    std::fill(key.lfFaceName + faceLength, key.lfFaceName + LF_FACESIZE, '\0');
    return key;
}

std::shared_ptr<const ResolvedFont> Resolve(const LOGFONTA& logFont, const TextCache* owner)
{
    auto resolved = std::make_shared<ResolvedFont>();
    resolved->id = g_nextFontId.fetch_add(1);
    resolved->owner = owner;
    resolved->font = ToQFont(logFont);
    const QFontMetrics metrics(resolved->font);
    resolved->height = metrics.height();
    resolved->ascent = metrics.ascent();
    resolved->descent = metrics.descent();
    resolved->averageCharWidth = metrics.averageCharWidth();
    resolved->maxWidth = metrics.maxWidth();
    resolved->leading = metrics.leading();
    return resolved;
}

}  // namespace

TextCache& TextCache::ThisThread()
{
    thread_local TextCache cache;
    return cache;
}

size_t TextCache::LineKeyHash::operator()(const LineKeyView& key) const
{
    return std::hash<std::string_view>{}(key.text) ^ (key.font * 0x9E3779B97F4A7C15ull);
}

void TextCache::ForgetStaleFonts()
{
    const uint64_t generation = g_fontGeneration.load();
    if (generation != m_fontGeneration) {
        Clear();
        m_fontGeneration = generation;
    }
}

std::shared_ptr<const ResolvedFont> TextCache::Font(const LOGFONTA& font)
{
    ForgetStaleFonts();
    const LOGFONTA key = FontKey(font);
    const auto found = std::find_if(m_fonts.begin(), m_fonts.end(), [&key](const FontSlot& slot) {
        return std::memcmp(&slot.key, &key, sizeof key) == 0;
    });
    if (found != m_fonts.end()) {
        std::rotate(m_fonts.begin(), found, found + 1);
        return m_fonts.front().font;
    }
    WatchFontDatabase();
    std::shared_ptr<const ResolvedFont> resolved = Resolve(key, this);
    if (m_fonts.size() >= kFontCapacity)
        m_fonts.pop_back();
    m_fonts.insert(m_fonts.begin(), FontSlot{key, resolved});
    return resolved;
}

LineLayout* TextCache::Line(const ResolvedFont& font, std::string_view text)
{
    ForgetStaleFonts();
    CountShapesOfLastLine();
    if (m_lineCapacity == 0 || text.size() > kMaxLineBytes)
        return nullptr;
    if (const auto found = m_lines.find(LineKeyView{font.id, text}); found != m_lines.end()) {
        found->second.lastUse = ++m_useClock;
        m_lastReturned = &found->second;
        return &found->second.layout;
    }
    if (m_lines.size() >= m_lineCapacity)
        KeepNewestLines(m_lineCapacity / 2);
    LineSlot& slot = m_lines.try_emplace(LineKey{font.id, std::string(text)}).first->second;
    slot.lastUse = ++m_useClock;
    slot.layout.advance = QFontMetrics(font.font).horizontalAdvance(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    m_lastReturned = &slot;
    return &slot.layout;
}

void TextCache::CountShapesOfLastLine()
{
    if (m_lastReturned == nullptr)
        return;
    LineSlot& slot = *m_lastReturned;
    m_lastReturned = nullptr;
    size_t bytes = 0;
    if (slot.layout.glyphs)
        for (const QGlyphRun& run : *slot.layout.glyphs)
            bytes += kGlyphRunBytes + static_cast<size_t>(run.glyphIndexes().size()) * kGlyphBytes;
    if (slot.layout.mask)
        bytes += slot.layout.mask->Bytes();
    m_shapeBytes = m_shapeBytes - slot.shapeBytes + bytes;
    slot.shapeBytes = bytes;
    if (m_shapeBytes > m_shapeCapacity)
        KeepNewestShapes();
}

void TextCache::SetShapeCapacity(size_t bytes)
{
    CountShapesOfLastLine();
    m_shapeCapacity = bytes;
    KeepNewestShapes();
}

void TextCache::KeepNewestShapes()
{
    std::vector<std::pair<uint64_t, LineSlot*>> shaped;
    for (auto& [key, slot] : m_lines)
        if (slot.shapeBytes > 0)
            shaped.emplace_back(slot.lastUse, &slot);
    // Oldest first; half of what is left goes each round, so a few rounds reach any capacity.
    std::sort(shaped.begin(), shaped.end());
    size_t dropped = 0;
    while (m_shapeBytes > m_shapeCapacity && dropped < shaped.size()) {
        const size_t last = dropped + std::max<size_t>(1, (shaped.size() - dropped) / 2);
        for (; dropped < last; ++dropped) {
            LineSlot& slot = *shaped[dropped].second;
            slot.layout.glyphs.reset();
            slot.layout.mask.reset();
            slot.layout.uprightDraws = 0;
            m_shapeBytes -= slot.shapeBytes;
            slot.shapeBytes = 0;
        }
    }
}

void TextCache::SetLineCapacity(size_t lines)
{
    m_lineCapacity = lines;
    KeepNewestLines(lines);
}

void TextCache::KeepNewestLines(size_t lines)
{
    CountShapesOfLastLine();
    if (m_lines.size() <= lines)
        return;
    std::vector<uint64_t> stamps;
    stamps.reserve(m_lines.size());
    for (const auto& [key, slot] : m_lines)
        stamps.push_back(slot.lastUse);
    // Stamps are unique, so exactly the `lines` newest are at or above the threshold.
    const auto threshold = stamps.begin() + static_cast<std::ptrdiff_t>(stamps.size() - lines);
    std::nth_element(stamps.begin(), threshold, stamps.end());
    const uint64_t oldestKept = lines == 0 ? std::numeric_limits<uint64_t>::max() : *threshold;
    std::erase_if(m_lines, [this, oldestKept](const auto& entry) {
        if (entry.second.lastUse >= oldestKept)
            return false;
        m_shapeBytes -= entry.second.shapeBytes;
        return true;
    });
}

void TextCache::Clear()
{
    m_lines.clear();
    m_fonts.clear();
    m_shapeBytes = 0;
    m_lastReturned = nullptr;
}

}  // namespace gdi_detail
