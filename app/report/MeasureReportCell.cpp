#include "report/MeasureReportCell.h"

#include <cstring>
#include <new>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define CELL_POISON(slot, size) ASAN_POISON_MEMORY_REGION(slot, size)
#define CELL_UNPOISON(slot, size) ASAN_UNPOISON_MEMORY_REGION(slot, size)
#else
#define CELL_POISON(slot, size) ((void)(slot), (void)(size))
#define CELL_UNPOISON(slot, size) ((void)(slot), (void)(size))
#endif

namespace {

// Fixed-size slots in blocks, handed out from a free list.
class CellPool
{
public:
    void* Take()
    {
        if (!m_free)
            Grow();
        Slot* slot = m_free;
        CELL_UNPOISON(slot, sizeof(Slot));
        m_free = slot->next;
        ++m_live;
        return slot;
    }
    void Give(void* cell)
    {
        auto* slot = static_cast<Slot*>(cell);
        slot->next = m_free;
        m_free = slot;
        // A cell used after its list let go of it is caught in the sanitized build, as with the heap's own blocks.
        CELL_POISON(slot, sizeof(Slot));
        // The last cell gone: a closed document's list gives its memory back.
        if (--m_live == 0) {
            for (auto& block : m_blocks)
                CELL_UNPOISON(block.get(), kSlotsPerBlock * sizeof(Slot));
            m_blocks.clear();
            m_free = nullptr;
        }
    }

private:
    union Slot
    {
        Slot* next;
        alignas(MeasureReportCell) unsigned char bytes[sizeof(MeasureReportCell)];
    };
    static constexpr size_t kSlotsPerBlock = 4096;

    void Grow()
    {
        auto block = std::make_unique<Slot[]>(kSlotsPerBlock);
        for (size_t i = 0; i < kSlotsPerBlock; ++i) {
            block[i].next = i + 1 < kSlotsPerBlock ? &block[i + 1] : m_free;
            CELL_POISON(&block[i], sizeof(Slot));
        }
        m_free = &block[0];
        m_blocks.push_back(std::move(block));
    }

    std::vector<std::unique_ptr<Slot[]>> m_blocks;
    Slot* m_free = nullptr;
    size_t m_live = 0;
};

// Never destroyed: a list that outlives the program's static objects still gives its cells back.
CellPool& Pool()
{
    static CellPool* pool = new CellPool;
    return *pool;
}

}  // namespace

void* MeasureReportCell::operator new(size_t size)
{
    if (size != sizeof(MeasureReportCell))
        return ::operator new(size);
    return Pool().Take();
}

void MeasureReportCell::operator delete(void* cell, size_t size)
{
    if (!cell)
        return;
    if (size != sizeof(MeasureReportCell)) {
        ::operator delete(cell);
        return;
    }
    Pool().Give(cell);
}

MeasureReportCell::MeasureReportCell(std::string_view text) : QTableWidgetItem(UserType)
{
    if (text.size() <= kInline) {
        std::memcpy(m_inline, text.data(), text.size());
        m_size = static_cast<unsigned char>(text.size());
    } else {
        m_long = std::make_unique<char[]>(text.size());
        std::memcpy(m_long.get(), text.data(), text.size());
        m_longSize = text.size();
    }
}

MeasureReportCell::MeasureReportCell(std::string_view text, quintptr rowData) : MeasureReportCell(text)
{
    m_rowData = rowData;
    m_ownRowData = true;
}

MeasureReportCell::~MeasureReportCell() = default;

std::string_view MeasureReportCell::Text() const
{
    return m_long ? std::string_view(m_long.get(), m_longSize) : std::string_view(m_inline, m_size);
}

bool MeasureReportCell::Shows(std::string_view text) const
{
    return m_ownText ? Text() == text
                     : QTableWidgetItem::data(Qt::DisplayRole).toString() ==
                           QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant MeasureReportCell::data(int role) const
{
    if (m_ownText && (role == Qt::DisplayRole || role == Qt::EditRole)) {
        const std::string_view text = Text();
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    }
    if (m_ownRowData && role == Qt::UserRole)
        return QVariant::fromValue(m_rowData);
    return QTableWidgetItem::data(role);
}

void MeasureReportCell::setData(int role, const QVariant& value)
{
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        m_ownText = false;
    else if (role == Qt::UserRole)
        m_ownRowData = false;
    QTableWidgetItem::setData(role, value);
}

QTableWidgetItem* MeasureReportCell::clone() const
{
    auto* copy = new QTableWidgetItem(*this);
    copy->setData(Qt::DisplayRole, data(Qt::DisplayRole));
    if (m_ownRowData)
        copy->setData(Qt::UserRole, data(Qt::UserRole));
    return copy;
}
