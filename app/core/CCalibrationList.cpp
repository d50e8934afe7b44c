#include "core/CCalibrationList.h"

#include "strings/Format.h"
#include "strings/StringQuery.h"

#include <algorithm>

namespace {

bool IsReservedName(const std::string& name)
{
    return name.empty() || CompareNoCase(name, CCalibrationList::kNoneName) == 0 ||
           CompareNoCase(name, CCalibrationList::kTemporaryName) == 0;
}

}  // namespace

tagMagnificationRecord* CCalibrationListItem::FindRecord(double magnification)
{
    for (tagMagnificationRecord& record : m_records)
        if (record.magnification == magnification)
            return &record;
    return nullptr;
}

// The calibration refuses what it cannot hold (a factor not above 0, a unit outside its list): that value then
// stays as it was rather than becoming a wrong measurement.
void CCalibrationList::ApplyRecord(CCalibKeeper& calibration, const tagMagnificationRecord& record)
{
    calibration.SetMagnification(record.magnification);
    calibration.SetUnitsPerPixel(record.unitsPerPixel);
    calibration.SetUnit(record.unitType);
    calibration.SetScaleLength(record.scaleDefault);
}

CCalibrationList::CCalibrationList()
{
    m_current.Create(0, 1.0, 1.0, -1.0, 1.0, 0, 0, 0);
}

CCalibrationList::~CCalibrationList() = default;

CCalibrationListItem* CCalibrationList::FindByName(const std::string& name)
{
    for (const auto& item : m_items)
        if (item->GetName() == name)
            return item.get();
    return nullptr;
}

void CCalibrationList::AddItem(std::unique_ptr<CCalibrationListItem> item)
{
    if (item)
        m_items.push_back(std::move(item));
}

int CCalibrationList::RemoveItem(const CCalibrationListItem* item)
{
    const auto found =
        std::find_if(m_items.begin(), m_items.end(), [item](const auto& entry) { return entry.get() == item; });
    if (found == m_items.end())
        return 0;
    m_items.erase(found);
    return 1;
}

void CCalibrationList::RemoveItemsWithoutRecords()
{
    std::erase_if(m_items, [](const auto& item) { return item->GetRecords().empty(); });
}

int CCalibrationList::SelectCalibration(const std::string& name, double magnification)
{
    CCalibrationListItem* item = FindByName(name);
    if (!item)
        return 0;
    m_current.SetName(name);
    if (const tagMagnificationRecord* record = item->FindRecord(magnification))
        ApplyRecord(m_current, *record);
    else if (!item->GetRecords().empty())
        ApplyRecord(m_current, item->GetRecords().front());
    return 1;
}

void CCalibrationList::StoreCalibration(const CCalibKeeper& calibration)
{
    m_current = calibration;
    const std::string& name = calibration.GetName();
    if (IsReservedName(name))
        return;

    const tagMagnificationRecord stored{calibration.GetMagnification(), calibration.GetUnitsPerPixel(),
                                       calibration.GetUnit(), calibration.GetScaleLength()};
    if (CCalibrationListItem* item = FindByName(name)) {
        bool found = false;
        for (tagMagnificationRecord& record : item->GetRecords()) {
            if (record.magnification != stored.magnification)
                continue;
            record = stored;
            found = true;
        }
        if (!found)
            item->GetRecords().push_back(stored);
        return;
    }
    auto item = std::make_unique<CCalibrationListItem>(calibration);
    item->GetRecords().push_back(stored);
    m_items.push_back(std::move(item));
}

int CCalibrationList::ReorderByNames(const std::vector<std::string>& names)
{
    std::vector<std::unique_ptr<CCalibrationListItem>> ordered;
    ordered.reserve(m_items.size());
    for (const std::string& name : names) {
        const auto found = std::find_if(m_items.begin(), m_items.end(),
                                        [&name](const auto& item) { return item && item->GetName() == name; });
        if (found != m_items.end())
            ordered.push_back(std::move(*found));  // leaves a null behind, so a repeated name takes the next one
    }
    const int complete = ordered.size() == m_items.size() ? 1 : 0;
    for (auto& item : m_items)
        if (item)
            ordered.push_back(std::move(item));
    m_items = std::move(ordered);
    return complete;
}

std::string CCalibrationList::NumberToText(double value)
{
    std::string text = Format("%f", value);
    if (text.find('.') == std::string::npos)
        return text;  // "inf", "nan"
    while (!text.empty() && text.back() == '0')
        text.pop_back();
    if (!text.empty() && text.back() == '.')
        text.pop_back();
    return text;
}

double CCalibrationList::TextToNumber(const std::string& text)
{
    return ParseDouble(text.c_str());
}

CCalibrationList& TheCalibrationList()
{
    static CCalibrationList list;
    return list;
}
