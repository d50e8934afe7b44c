#include "quantor/GridFiles.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

namespace quantor {
namespace {

// Little-endian reads that fail, once and for good, on a short or non-finite field.
class ByteReader
{
public:
    ByteReader(const uint8_t* data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    bool Ok() const { return m_ok; }
    bool AtEnd() const { return m_ok && m_pos == m_size; }
    size_t Remaining() const { return m_size - m_pos; }

    // Whether count items of unit bytes are there, without overflowing on hostile counts.
    bool Holds(uint64_t count, uint64_t unit)
    {
        if (m_ok && unit != 0 && count <= Remaining() / unit)
            return true;
        m_ok = false;
        return false;
    }

    const uint8_t* Take(size_t n)
    {
        if (!Holds(n, 1))
            return nullptr;
        const uint8_t* p = m_data + m_pos;
        m_pos += n;
        return p;
    }
    uint32_t U32()
    {
        const uint8_t* p = Take(4);
        return p ? p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24) : 0;
    }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    int16_t I16()
    {
        const uint8_t* p = Take(2);
        return p ? static_cast<int16_t>(p[0] | (p[1] << 8)) : 0;
    }
    uint8_t U8()
    {
        const uint8_t* p = Take(1);
        return p ? *p : 0;
    }
    float F32()
    {
        const uint32_t bits = U32();
        float v;
        std::memcpy(&v, &bits, 4);
        return Finite(v) ? v : 0.0f;
    }
    double F64()
    {
        const uint8_t* p = Take(8);
        if (!p)
            return 0;
        uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | p[i];
        double v;
        std::memcpy(&v, &bits, 8);
        return Finite(v) ? v : 0.0;
    }
    bool Floats(std::vector<float>& out, uint64_t count)
    {
        if (!Holds(count, 4))
            return false;
        out.resize(static_cast<size_t>(count));
        for (float& v : out)
            v = F32();
        return m_ok;
    }
    // A zero-padded text field: the text up to the first NUL, CR or LF.
    std::string Text(size_t bytes)
    {
        const uint8_t* p = Take(bytes);
        if (!p)
            return {};
        size_t n = 0;
        while (n < bytes && p[n] != 0 && p[n] != '\r' && p[n] != '\n')
            ++n;
        return std::string(reinterpret_cast<const char*>(p), n);
    }
    void Fail() { m_ok = false; }

private:
    template <typename T>
    bool Finite(T v)
    {
        if (std::isfinite(v))
            return true;
        m_ok = false;
        return false;
    }

    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

class ByteWriter
{
public:
    void U32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void I32(int32_t v) { U32(static_cast<uint32_t>(v)); }
    void U8(uint8_t v) { m_bytes.push_back(v); }
    void F32(float v)
    {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        U32(bits);
    }
    void Floats(const std::vector<float>& values)
    {
        for (float v : values)
            F32(v);
    }
    // The text cut to leave room for its terminating NUL, zero-padded.
    void Text(const std::string& text, size_t bytes)
    {
        const size_t n = std::min(text.size(), bytes - 1);
        m_bytes.insert(m_bytes.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(n));
        m_bytes.insert(m_bytes.end(), bytes - n, 0);
    }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

void NormalizeAll(std::vector<float>& values, float lo, float hi)
{
    for (float& v : values)
        v = NormalizeInto(v, lo, hi);
}

// Coordinates of the Surfer grids: evenly spread over the cube edge.
bool SurferRecord(int nx, int ny, const double range[6], const char* name, std::vector<float> heights,
                  GridScene& scene)
{
    GridData grid = MakeSurfaceRecord(nx, ny, 0);
    grid.m_strName = name;
    grid.m_fMinX = static_cast<float>(range[0]);
    grid.m_fMaxX = static_cast<float>(range[1]);
    grid.m_fMinY = static_cast<float>(range[2]);
    grid.m_fMaxY = static_cast<float>(range[3]);
    grid.m_fMinZ = static_cast<float>(range[4]);
    grid.m_fMaxZ = static_cast<float>(range[5]);
    for (float bound : {grid.m_fMinX, grid.m_fMaxX, grid.m_fMinY, grid.m_fMaxY, grid.m_fMinZ, grid.m_fMaxZ})
        if (!std::isfinite(bound))
            return false;  // a double beyond float range
    SpreadEvenly(grid.m_pCoordX);
    SpreadEvenly(grid.m_pCoordY);
    grid.m_pCoordZ = std::move(heights);
    NormalizeAll(grid.m_pCoordZ, grid.m_fMinZ, grid.m_fMaxZ);
    scene.m_nColorSource = 0;
    scene.m_arrGrids.clear();
    scene.m_arrGrids.push_back(std::move(grid));
    return true;
}

bool ValidSurferSize(long nx, long ny) { return nx >= 2 && ny >= 2; }

// Whitespace-separated numbers of a text; fails on anything that is not a finite number.
class TextReader
{
public:
    TextReader(const uint8_t* data, size_t size) : m_text(reinterpret_cast<const char*>(data), data ? size : 0) {}

    void SkipLine()
    {
        const size_t end = m_text.find('\n', m_pos);
        m_pos = end == std::string::npos ? m_text.size() : end + 1;
    }
    bool Number(double& value)
    {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos])))
            ++m_pos;
        if (m_pos >= m_text.size())
            return false;
        const char* start = m_text.c_str() + m_pos;
        char* end = nullptr;
        value = std::strtod(start, &end);
        if (end == start || !std::isfinite(value))
            return false;
        m_pos += static_cast<size_t>(end - start);
        return true;
    }
    bool Integer(long& value)
    {
        double v;
        if (!Number(v) || v != std::floor(v) || std::fabs(v) > 1e9)
            return false;
        value = static_cast<long>(v);
        return true;
    }
    size_t Size() const { return m_text.size(); }

private:
    std::string m_text;
    size_t m_pos = 0;
};

std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    size_t at = 0;
    while ((at = line.find_first_not_of(" \t\r", at)) != std::string::npos) {
        const size_t end = line.find_first_of(" \t\r", at);
        words.push_back(line.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end;
    }
    return words;
}

bool WholeNumber(const std::string& word, double& value)
{
    char* end = nullptr;
    value = std::strtod(word.c_str(), &end);
    return end != word.c_str() && *end == '\0' && std::isfinite(static_cast<float>(value));
}

bool WholeInteger(const std::string& word, long& value)
{
    char* end = nullptr;
    value = std::strtol(word.c_str(), &end, 10);
    return end != word.c_str() && *end == '\0' && value >= INT32_MIN && value <= INT32_MAX;
}

}  // namespace

bool LoadSurferBinary(const uint8_t* data, size_t size, GridScene& scene)
{
    ByteReader in(data, size);
    in.Take(4);  // the format tag: not examined
    const int nx = in.I16();
    const int ny = in.I16();
    double range[6];
    for (double& v : range)
        v = in.F64();
    if (!in.Ok() || !ValidSurferSize(nx, ny))
        return false;
    std::vector<float> heights;
    if (!in.Floats(heights, static_cast<uint64_t>(nx) * static_cast<uint64_t>(ny)) || !in.AtEnd())
        return false;
    return SurferRecord(nx, ny, range, "Surfer Binary File", std::move(heights), scene);
}

bool LoadSurferText(const uint8_t* data, size_t size, GridScene& scene)
{
    TextReader in(data, size);
    in.SkipLine();  // the format tag
    long nx = 0, ny = 0;
    double range[6];
    if (!in.Integer(nx) || !in.Integer(ny) || !ValidSurferSize(nx, ny))
        return false;
    for (double& v : range)
        if (!in.Number(v))
            return false;
    // Each number takes at least one character and a separator.
    const uint64_t nodes = static_cast<uint64_t>(nx) * static_cast<uint64_t>(ny);
    if (nodes > in.Size() / 2 + 1)
        return false;
    std::vector<float> heights(static_cast<size_t>(nodes));
    for (float& h : heights) {
        double v;
        if (!in.Number(v) || !std::isfinite(static_cast<float>(v)))
            return false;
        h = static_cast<float>(v);
    }
    return SurferRecord(static_cast<int>(nx), static_cast<int>(ny), range, "Surfer text File", std::move(heights),
                        scene);
}

bool LoadMultiGrid(const uint8_t* data, size_t size, char letter, GridScene& scene)
{
    const bool shared = letter == 'D';
    ByteReader in(data, size);
    const int32_t m = in.I32();
    if (!in.Ok() || m < 1 || !in.Holds(static_cast<uint64_t>(m), kNameBytes))
        return false;
    std::vector<std::string> names;
    for (int k = 0; k < m; ++k)
        names.push_back(in.Text(kNameBytes));
    const int32_t nx = in.I32();
    const int32_t ny = in.I32();
    if (!in.Ok() || nx < 1 || ny < 1)
        return false;
    const uint64_t nodes = static_cast<uint64_t>(nx) * static_cast<uint64_t>(ny);
    const uint64_t entry = static_cast<uint64_t>(m) + (shared ? 3 : 2);
    if (!in.Holds(nodes, entry * 4) || in.Remaining() != nodes * entry * 4)
        return false;

    const int valueKind = shared ? 1 : 0;
    std::vector<GridData> grids;
    grids.reserve(static_cast<size_t>(m));
    for (int k = 0; k < m; ++k) {
        grids.push_back(MakeSurfaceRecord(nx, ny, valueKind));
        grids.back().m_strName = names[static_cast<size_t>(k)].c_str();
    }
    std::vector<float> node;
    for (int32_t j = 0; j < ny; ++j)
        for (int32_t i = 0; i < nx; ++i) {
            if (!in.Floats(node, entry))
                return false;
            const size_t at = static_cast<size_t>(i) + static_cast<size_t>(j) * static_cast<size_t>(nx);
            for (int k = 0; k < m; ++k) {
                GridData& grid = grids[static_cast<size_t>(k)];
                if (j == 0)
                    grid.m_pCoordX[static_cast<size_t>(i)] = node[0];
                if (i == 0)
                    grid.m_pCoordY[static_cast<size_t>(j)] = node[1];
                if (shared) {
                    grid.m_pCoordZ[at] = node[2];
                    grid.m_pValues[at] = node[3 + static_cast<size_t>(k)];
                } else {
                    grid.m_pCoordZ[at] = node[2 + static_cast<size_t>(k)];
                }
            }
        }
    for (GridData& grid : grids)
        NormalizeRecord(grid, shared);
    scene.m_nColorSource = valueKind;
    scene.m_arrGrids = std::move(grids);
    return true;
}

bool LoadVolume(const uint8_t* data, size_t size, char letter, GridScene& scene)
{
    const int kind = letter == 'E' ? kVolumeLayers : letter == 'F' ? kVolumeNumbered : kVolumeNodes;
    ByteReader in(data, size);
    const int32_t m = in.I32();
    if (!in.Ok() || m < 1 || !in.Holds(static_cast<uint64_t>(m), kNameBytes))
        return false;
    std::vector<std::string> names;
    for (int k = 0; k < m; ++k)
        names.push_back(in.Text(kNameBytes));
    const int32_t nx = in.I32();
    const int32_t ny = in.I32();
    const int32_t nz = in.I32();
    if (!in.Ok() || nx < 1 || ny < 1 || nz < 1)
        return false;
    const uint64_t plane = static_cast<uint64_t>(nx) * static_cast<uint64_t>(ny);
    const uint64_t entry = static_cast<uint64_t>(m) + (kind == kVolumeNumbered ? 2 : 3);
    if (!in.Holds(plane, entry * 4) || !in.Holds(plane * static_cast<uint64_t>(nz), entry * 4)
        || in.Remaining() != plane * static_cast<uint64_t>(nz) * entry * 4)
        return false;

    std::vector<GridData> grids;
    grids.reserve(static_cast<size_t>(m));
    for (int k = 0; k < m; ++k) {
        grids.push_back(MakeVolumeRecord(nx, ny, nz, kind));
        grids.back().m_strName = names[static_cast<size_t>(k)].c_str();
    }
    std::vector<float> node;
    for (int32_t z = 0; z < nz; ++z)
        for (int32_t y = 0; y < ny; ++y)
            for (int32_t x = 0; x < nx; ++x) {
                if (!in.Floats(node, entry))
                    return false;
                const size_t at = static_cast<size_t>(x) + static_cast<size_t>(nx) *
                    (static_cast<size_t>(y) + static_cast<size_t>(ny) * static_cast<size_t>(z));
                for (int k = 0; k < m; ++k) {
                    GridData& grid = grids[static_cast<size_t>(k)];
                    if (y == 0 && z == 0)
                        grid.m_pCoordX[static_cast<size_t>(x)] = node[0];
                    if (x == 0 && z == 0)
                        grid.m_pCoordY[static_cast<size_t>(y)] = node[1];
                    if (kind == kVolumeLayers) {
                        if (x == 0 && y == 0)
                            grid.m_pCoordZ[static_cast<size_t>(z)] = node[2];
                    } else {
                        grid.m_pCoordZ[at] = node[2];
                    }
                    grid.m_pValues[at] = kind == kVolumeNumbered ? static_cast<float>(z + 1)
                                                                 : node[3 + static_cast<size_t>(k)];
                }
            }
    for (GridData& grid : grids)
        NormalizeRecord(grid, true);
    scene.m_nColorSource = kind;
    scene.m_arrGrids = std::move(grids);
    return true;
}

bool LoadSurfaceFile(const uint8_t* data, size_t size, char letter, GridScene& scene)
{
    switch (letter) {
    case 'B': return LoadSurferBinary(data, size, scene);
    case 'A': return LoadSurferText(data, size, scene);
    case 'C': case 'D': return LoadMultiGrid(data, size, letter, scene);
    default: return false;
    }
}

MarkerLoad LoadMarkers(const uint8_t* data, size_t size, GridData* grid)
{
    if (grid == nullptr)
        return MarkerLoad::NoGrid;
    const std::string text(reinterpret_cast<const char*>(data), data ? size : 0);
    std::vector<PlotMarker> markers;
    size_t pos = text.find('\n');  // the header line
    while (pos != std::string::npos && pos < text.size()) {
        const size_t start = pos + 1;
        pos = text.find('\n', start);
        const std::string line = text.substr(start, pos == std::string::npos ? std::string::npos : pos - start);
        const std::vector<std::string> words = Words(line);
        double x, y;
        long number;
        if (words.size() < 4 || !WholeNumber(words[0], x) || !WholeNumber(words[1], y)
            || !WholeInteger(words[2], number))
            break;
        std::string label = words[3];
        label.resize(std::min(label.size(), kLabelBytes - 1));
        if (x < grid->m_fMinX || x > grid->m_fMaxX || y < grid->m_fMinY || y > grid->m_fMaxY)
            return MarkerLoad::OutOfRange;
        PlotMarker marker;
        marker.x = NormalizeInto(static_cast<float>(x), grid->m_fMinX, grid->m_fMaxX);
        marker.y = NormalizeInto(static_cast<float>(y), grid->m_fMinY, grid->m_fMaxY);
        marker.z = 2 * kHalfSize;
        marker.number = static_cast<int>(number);
        marker.label = label.c_str();
        markers.push_back(std::move(marker));
    }
    if (markers.empty())
        return MarkerLoad::NoMarkers;
    grid->m_arrMarkers = std::move(markers);
    grid->m_bShowMarkers = 1;
    return MarkerLoad::Loaded;
}

namespace {

// Records of the stream must hold at least their name and fixed fields; this bounds a hostile record count.
constexpr uint64_t kMinRecordBytes = kNameBytes + 12;

void WriteView(ByteWriter& out, const GridData& g)
{
    out.F32(g.m_fPanX);
    out.F32(g.m_fPanY);
    out.I32(g.m_nLegendX);
    out.I32(g.m_nLegendY);
    for (float v : {g.m_fRotX, g.m_fRotY, g.m_fRotZ, g.m_fTransX, g.m_fTransY, g.m_fTransZ, g.m_fScaleX,
                    g.m_fScaleY, g.m_fScaleZ})
        out.F32(v);
}

void ReadView(ByteReader& in, GridData& g)
{
    g.m_fPanX = in.F32();
    g.m_fPanY = in.F32();
    g.m_nLegendX = in.I32();
    g.m_nLegendY = in.I32();
    for (float* v : {&g.m_fRotX, &g.m_fRotY, &g.m_fRotZ, &g.m_fTransX, &g.m_fTransY, &g.m_fTransZ, &g.m_fScaleX,
                     &g.m_fScaleY, &g.m_fScaleZ})
        *v = in.F32();
}

void WriteColour(ByteWriter& out, const Colour3& c)
{
    for (float v : c)
        out.F32(v);
}

void ReadColour(ByteReader& in, Colour3& c)
{
    for (float& v : c)
        v = in.F32();
}

void WriteTable(ByteWriter& out, const GridData& g)
{
    out.I32(static_cast<int32_t>(g.m_arrColorTable.size()));
    for (uint32_t c : g.m_arrColorTable)
        out.U32(c);
}

bool ReadTable(ByteReader& in, GridData& g)
{
    const int32_t n = in.I32();
    if (n < 0 || !in.Holds(static_cast<uint64_t>(n), 4))
        return false;
    g.m_arrColorTable.resize(static_cast<size_t>(n));
    for (uint32_t& c : g.m_arrColorTable)
        c = in.U32();
    return in.Ok();
}

void WriteHeader(ByteWriter& out, const GridScene& scene)
{
    out.Text(scene.m_strName.Text(), kSceneNameBytes);
    out.I32(scene.m_nColorSource);
    out.I32(static_cast<int32_t>(scene.m_arrGrids.size()));
}

// The header; the record count when it is one the bytes can hold.
bool ReadHeader(ByteReader& in, std::string& name, int& colorSource, int32_t& count)
{
    name = in.Text(kSceneNameBytes);
    colorSource = in.I32();
    count = in.I32();
    return in.Ok() && count >= 0 && in.Holds(static_cast<uint64_t>(count), kMinRecordBytes);
}

bool ValidSize(int32_t n) { return n >= 1; }

uint64_t Product(int32_t a, int32_t b) { return static_cast<uint64_t>(a) * static_cast<uint64_t>(b); }

}  // namespace

std::vector<uint8_t> WriteSurfaceStream(const GridScene& scene)
{
    if (scene.m_arrGrids.empty())
        return {};
    ByteWriter out;
    WriteHeader(out, scene);
    for (const GridData& g : scene.m_arrGrids) {
        out.Text(g.m_strName.Text(), kNameBytes);
        out.I32(g.m_nValueKind);
        out.I32(g.m_nSizeX);
        out.I32(g.m_nSizeY);
        out.Floats(g.m_pCoordX);
        out.Floats(g.m_pCoordY);
        out.Floats(g.m_pCoordZ);
        if (g.m_nValueKind == 1)
            out.Floats(g.m_pValues);
        for (float v : {g.m_fMinX, g.m_fMaxX, g.m_fMinY, g.m_fMaxY, g.m_fMinZ, g.m_fMaxZ})
            out.F32(v);
        if (g.m_nValueKind == 1) {
            out.F32(g.m_fMinV);
            out.F32(g.m_fMaxV);
        }
        out.I32(g.m_nGradientSteps);
        out.I32(g.m_nTableColors);
        out.U8(g.m_bGradient);
        for (int v : {g.m_nPlotKind, g.m_bShowAxes, g.m_bShowFloor, g.m_bShowWalls, g.m_bShowLegend, g.m_bShowBox,
                      g.m_bShowMarkers, g.m_bShowMarkerLabels})
            out.I32(v);
        out.F32(g.m_fMarkerReserved);
        out.I32(g.m_bShowMarkerPosts);
        out.I32(g.m_nPlotKindExtra);
        out.I32(g.m_nMouseMode);
        WriteView(out, g);
        out.F32(g.m_fReserved);
        WriteTable(out, g);
        for (const Colour3* c : {&g.m_fBackColor, &g.m_fLowColor, &g.m_fHighColor, &g.m_fFrameColor,
                                 &g.m_fMarkerColor})
            WriteColour(out, *c);
        out.F32(g.m_fColorFloor);
        out.I32(static_cast<int32_t>(g.m_arrMarkers.size()));
        for (const PlotMarker& m : g.m_arrMarkers) {
            out.F32(m.x);
            out.F32(m.y);
            out.F32(m.z);
            out.I32(m.number);
            out.Text(m.label.Text(), kLabelBytes);
        }
    }
    return out.Take();
}

bool ReadSurfaceStream(const uint8_t* data, size_t size, GridScene& scene)
{
    ByteReader in(data, size);
    std::string name;
    int colorSource = 0;
    int32_t count = 0;
    if (!ReadHeader(in, name, colorSource, count) || colorSource < 0 || colorSource > 1)
        return false;
    std::vector<GridData> grids(static_cast<size_t>(count));
    for (GridData& g : grids) {
        g.m_strName = in.Text(kNameBytes).c_str();
        g.m_nValueKind = in.I32();
        g.m_nSizeX = in.I32();
        g.m_nSizeY = in.I32();
        if (!in.Ok() || (g.m_nValueKind != 0 && g.m_nValueKind != 1) || !ValidSize(g.m_nSizeX)
            || !ValidSize(g.m_nSizeY))
            return false;
        const uint64_t nodes = Product(g.m_nSizeX, g.m_nSizeY);
        if (!in.Floats(g.m_pCoordX, static_cast<uint64_t>(g.m_nSizeX))
            || !in.Floats(g.m_pCoordY, static_cast<uint64_t>(g.m_nSizeY)) || !in.Floats(g.m_pCoordZ, nodes))
            return false;
        if (g.m_nValueKind == 1 && !in.Floats(g.m_pValues, nodes))
            return false;
        for (float* v : {&g.m_fMinX, &g.m_fMaxX, &g.m_fMinY, &g.m_fMaxY, &g.m_fMinZ, &g.m_fMaxZ})
            *v = in.F32();
        if (g.m_nValueKind == 1) {
            g.m_fMinV = in.F32();
            g.m_fMaxV = in.F32();
        }
        g.m_nGradientSteps = in.I32();
        g.m_nTableColors = in.I32();
        g.m_bGradient = in.U8();
        for (int* v : {&g.m_nPlotKind, &g.m_bShowAxes, &g.m_bShowFloor, &g.m_bShowWalls, &g.m_bShowLegend,
                       &g.m_bShowBox, &g.m_bShowMarkers, &g.m_bShowMarkerLabels})
            *v = in.I32();
        g.m_fMarkerReserved = in.F32();
        g.m_bShowMarkerPosts = in.I32();
        g.m_nPlotKindExtra = in.I32();
        g.m_nMouseMode = in.I32();
        ReadView(in, g);
        g.m_fReserved = in.F32();
        if (!ReadTable(in, g))
            return false;
        for (Colour3* c : {&g.m_fBackColor, &g.m_fLowColor, &g.m_fHighColor, &g.m_fFrameColor, &g.m_fMarkerColor})
            ReadColour(in, *c);
        g.m_fColorFloor = in.F32();
        const int32_t markers = in.I32();
        if (!in.Ok() || markers < 0 || !in.Holds(static_cast<uint64_t>(markers), 16 + kLabelBytes))
            return false;
        g.m_arrMarkers.resize(static_cast<size_t>(markers));
        for (PlotMarker& m : g.m_arrMarkers) {
            m.x = in.F32();
            m.y = in.F32();
            m.z = in.F32();
            m.number = in.I32();
            m.label = in.Text(kLabelBytes).c_str();
        }
        if (!in.Ok() || g.m_nPlotKind < 0 || g.m_nPlotKind > 2)
            return false;
    }
    if (!in.AtEnd())
        return false;
    scene.m_strName = name.c_str();
    scene.m_nColorSource = colorSource;
    scene.m_arrGrids = std::move(grids);
    return true;
}

std::vector<uint8_t> WriteVolumeStream(const GridScene& scene)
{
    if (scene.m_arrGrids.empty())
        return {};
    ByteWriter out;
    WriteHeader(out, scene);
    for (const GridData& g : scene.m_arrGrids) {
        out.Text(g.m_strName.Text(), kNameBytes);
        for (int v : {g.m_nValueKind, g.m_nSizeX, g.m_nSizeY, g.m_nSizeZ})
            out.I32(v);
        out.Floats(g.m_pCoordX);
        out.Floats(g.m_pCoordY);
        out.Floats(g.m_pCoordZ);
        out.Floats(g.m_pValues);
        for (float v : {g.m_fMinX, g.m_fMaxX, g.m_fMinY, g.m_fMaxY, g.m_fMinZ, g.m_fMaxZ, g.m_fMinV, g.m_fMaxV})
            out.F32(v);
        out.I32(g.m_nGradientSteps);
        out.I32(g.m_nTableColors);
        out.U8(g.m_bGradient);
        for (int v : {g.m_nPlotKind, g.m_bShowAxes, g.m_bShowLegend, g.m_bShowBox, g.m_nPlotKindExtra,
                      g.m_nMouseMode})
            out.I32(v);
        WriteView(out, g);
        out.F32(g.m_fReserved);
        for (float v : g.m_fVolumeReserved)
            out.F32(v);
        out.I32(g.m_nVolumeOne);
        for (int v : g.m_nVolumeZeros)
            out.I32(v);
        for (int v : {g.m_nCutX, g.m_nCutY, g.m_nCutZ, g.m_nDrawMode, g.m_nVolumeLast})
            out.I32(v);
        WriteTable(out, g);
        for (const Colour3* c : {&g.m_fBackColor, &g.m_fLowColor, &g.m_fHighColor, &g.m_fFrameColor,
                                 &g.m_fMarkerColor})
            WriteColour(out, *c);
        out.F32(g.m_fColorFloor);
    }
    return out.Take();
}

bool ReadVolumeStream(const uint8_t* data, size_t size, GridScene& scene)
{
    ByteReader in(data, size);
    std::string name;
    int colorSource = 0;
    int32_t count = 0;
    if (!ReadHeader(in, name, colorSource, count) || colorSource < kVolumeLayers || colorSource > kVolumeNodes)
        return false;
    std::vector<GridData> grids(static_cast<size_t>(count));
    for (GridData& g : grids) {
        g.m_strName = in.Text(kNameBytes).c_str();
        g.m_nValueKind = in.I32();
        g.m_nSizeX = in.I32();
        g.m_nSizeY = in.I32();
        g.m_nSizeZ = in.I32();
        if (!in.Ok() || g.m_nValueKind < kVolumeLayers || g.m_nValueKind > kVolumeNodes || !ValidSize(g.m_nSizeX)
            || !ValidSize(g.m_nSizeY) || !ValidSize(g.m_nSizeZ))
            return false;
        const uint64_t plane = Product(g.m_nSizeX, g.m_nSizeY);
        // Checked a factor at a time so that hostile sizes cannot overflow the product.
        if (!in.Holds(plane, 4) || !in.Holds(plane * static_cast<uint64_t>(g.m_nSizeZ), 4))
            return false;
        const uint64_t nodes = plane * static_cast<uint64_t>(g.m_nSizeZ);
        const uint64_t zs = g.m_nValueKind == kVolumeLayers ? static_cast<uint64_t>(g.m_nSizeZ) : nodes;
        if (!in.Floats(g.m_pCoordX, static_cast<uint64_t>(g.m_nSizeX))
            || !in.Floats(g.m_pCoordY, static_cast<uint64_t>(g.m_nSizeY)) || !in.Floats(g.m_pCoordZ, zs)
            || !in.Floats(g.m_pValues, nodes))
            return false;
        for (float* v : {&g.m_fMinX, &g.m_fMaxX, &g.m_fMinY, &g.m_fMaxY, &g.m_fMinZ, &g.m_fMaxZ, &g.m_fMinV,
                         &g.m_fMaxV})
            *v = in.F32();
        g.m_nGradientSteps = in.I32();
        g.m_nTableColors = in.I32();
        g.m_bGradient = in.U8();
        for (int* v : {&g.m_nPlotKind, &g.m_bShowAxes, &g.m_bShowLegend, &g.m_bShowBox, &g.m_nPlotKindExtra,
                       &g.m_nMouseMode})
            *v = in.I32();
        ReadView(in, g);
        g.m_fReserved = in.F32();
        for (float& v : g.m_fVolumeReserved)
            v = in.F32();
        g.m_nVolumeOne = in.I32();
        for (int& v : g.m_nVolumeZeros)
            v = in.I32();
        for (int* v : {&g.m_nCutX, &g.m_nCutY, &g.m_nCutZ, &g.m_nDrawMode, &g.m_nVolumeLast})
            *v = in.I32();
        if (!ReadTable(in, g))
            return false;
        for (Colour3* c : {&g.m_fBackColor, &g.m_fLowColor, &g.m_fHighColor, &g.m_fFrameColor, &g.m_fMarkerColor})
            ReadColour(in, *c);
        g.m_fColorFloor = in.F32();
        if (!in.Ok())
            return false;
        // The draw modes index the volume with these: keep them inside it.
        g.m_nCutX = std::clamp(g.m_nCutX, 0, g.m_nSizeX - 1);
        g.m_nCutY = std::clamp(g.m_nCutY, 0, g.m_nSizeY - 1);
        g.m_nCutZ = std::clamp(g.m_nCutZ, 0, g.m_nSizeZ - 1);
        g.m_nDrawMode = std::clamp(g.m_nDrawMode, 0, kDrawModeCount - 1);
    }
    if (!in.AtEnd())
        return false;
    scene.m_strName = name.c_str();
    scene.m_nColorSource = colorSource;
    scene.m_arrGrids = std::move(grids);
    return true;
}

}  // namespace quantor
