#include "chromex/PseudoColorTable.h"

#include <QDir>
#include <QString>

#include <algorithm>

namespace chromex {

namespace {

constexpr double kSteps[10] = {-4, -3, -2, -1.5, -1, 1, 1.5, 2, 3, 4};

PseudoColorPalette Ramp(const char* name, bool redFirst)
{
    PseudoColorPalette palette;
    palette.name = name;
    for (int i = 0; i < 256; ++i) {
        const int red = redFirst ? 255 - i : i;
        palette.entries[3 * static_cast<size_t>(i)] = static_cast<uint8_t>(255 - red);  // blue
        palette.entries[3 * static_cast<size_t>(i) + 1] = 0;
        palette.entries[3 * static_cast<size_t>(i) + 2] = static_cast<uint8_t>(red);
    }
    return palette;
}

}  // namespace

double RandomStep(int draw)
{
    const int index = std::clamp(static_cast<int>(static_cast<long long>(draw) * 10 / kRandomMax), 0, 9);
    return kSteps[index];
}

CPseudoColorTable::CPseudoColorTable(uint32_t seed) : m_random(seed)
{
    MakeIdentity();
}

void CPseudoColorTable::LoadPalettes(const std::string& folder, std::vector<std::string>* refused)
{
    m_palettes.clear();
    m_names.clear();
    m_previous.reset();
    if (!folder.empty()) {
        const QDir dir(QString::fromStdString(folder));
        // By name, so the palette applied first does not depend on the file system's order.
        const QStringList files = dir.entryList({QStringLiteral("*.pcu")}, QDir::Files, QDir::Name);
        for (const QString& file : files) {
            PseudoColorPalette palette;
            if (ReadPaletteFile(dir.filePath(file).toStdString(), palette))
                m_palettes.push_back(std::move(palette));
            else if (refused)
                refused->push_back(file.toStdString());
        }
    }
    m_palettes.push_back(Ramp("Red to Blue", true));
    m_palettes.push_back(Ramp("Blue to Red", false));
    for (const PseudoColorPalette& palette : m_palettes)
        m_names.push_back(palette.name);
    MakeIdentity();
}

bool CPseudoColorTable::SelectByName(const std::string& name)
{
    const QString wanted = QString::fromStdString(name);
    for (const PseudoColorPalette& palette : m_palettes)
        if (QString::fromStdString(palette.name).compare(wanted, Qt::CaseInsensitive) == 0) {
            m_current = palette.entries;
            return true;
        }
    return false;
}

void CPseudoColorTable::MakeIdentity()
{
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            m_current[3 * static_cast<size_t>(i) + c] = static_cast<uint8_t>(i);
}

void CPseudoColorTable::MakeRandom()
{
    if (!m_previous)
        m_previous = std::make_unique<PseudoColorPalette>();
    m_previous->name = "Prev";
    m_previous->entries = m_current;

    double value[3];  // red, green, blue
    double step[3];
    for (double& v : value)
        v = static_cast<double>(m_random.Next()) * 255 / kRandomMax;
    for (double& s : step)
        s = RandomStep(m_random.Next());
    for (int i = 0; i < 256; ++i) {
        for (int c = 0; c < 3; ++c)
            m_current[3 * static_cast<size_t>(i) + 2 - c] = static_cast<uint8_t>(static_cast<int>(value[c]));
        for (int c = 0; c < 3; ++c) {
            value[c] += step[c];
            if (value[c] > 255) {
                value[c] = 255;
                step[c] = -step[c];
            } else if (value[c] < 0) {
                value[c] = 0;
                step[c] = -step[c];
            }
        }
    }
}

bool CPseudoColorTable::RestorePrevious()
{
    if (!m_previous)
        return false;
    m_current = m_previous->entries;
    return true;
}

}  // namespace chromex
