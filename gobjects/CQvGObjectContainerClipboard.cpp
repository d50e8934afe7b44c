// Copy and paste of the selection through the clipboard.
#include "gobjects/CQvGObjectContainer.h"

#include "gobjects/CQvGObject.h"
#include "gobjects/private/GObjectChangeTracker.h"
#include "gobjects/GObjectClipboard.h"
#include "gobjects/private/GObjectRecordLimits.h"
#include "gobjects/shapes/CQvGObjectImage.h"
#include "gobjects/shapes/CQvGObjectText.h"

#include "stream/LeStream.h"

namespace {

// Pasted objects land this far (image pixels) right of and below the originals.
constexpr CSize kPasteOffset(10, 10);

}  // namespace

int CQvGObjectContainer::CopyToClipboard()
{
    if (m_selected.empty())
        return 0;
    if (m_selected.size() == 1)
    {
        const CQvGObject* lone = m_selected.front();
        // A lone text goes as plain text for other programs, a lone image stamp as its picture; without a text
        // or a picture nothing is put.
        if (lone->GetObjShape() == SHAPE_TEXT)
        {
            const std::string& text = lone->GetProperty().GetComment();
            return text.empty() ? 0 : PutTextOnClipboard(text);
        }
        if (lone->GetObjShape() == SHAPE_IMAGE)
        {
            const auto* stamp = dynamic_cast<const CQvGObjectImage*>(lone);
            return stamp && !stamp->GetImageBytes().empty() ? PutDibOnClipboard(stamp->GetImageBytes()) : 0;
        }
    }
    return PutRecordsOnClipboard([this](FILE* file) {
        LeWriter out(file);
        out.Int32(static_cast<int32_t>(m_selected.size()));
        if (!out.ok())
            return 0;
        for (CQvGObject* obj : m_selected)
            if (!obj->Write(file, m_version))
                return 0;
        return 1;
    });
}

int CQvGObjectContainer::PasteFromClipboard()
{
    const ChangeScope scope(this);
    // A picture or a text on the clipboard wins over records: they become an image stamp or a text annotation.
    switch (ClipboardContent())
    {
    case GObjectClipboardContent::Picture:
        return PastePicture(ClipboardPicture());
    case GObjectClipboardContent::Text:
        return PasteText(ClipboardText());
    case GObjectClipboardContent::Records:
        break;
    case GObjectClipboardContent::None:
        return 0;
    }
    UniqueFile file = OpenClipboardRecords();
    return file ? PasteRecords(file.get()) : 0;
}

int CQvGObjectContainer::PastePicture(const std::vector<uint8_t>& dib)
{
    auto* stamp = dynamic_cast<CQvGObjectImage*>(CreateObject(SHAPE_IMAGE));
    if (!stamp)
        return 0;
    // Another program's bytes: the stamp takes only a DIB the block holds whole.
    if (!stamp->SetImage(dib.data(), dib.size()))
    {
        stamp->RemoveAll();
        return 0;
    }
    AdoptPasted(stamp);
    stamp->CalInitialPos();
    ObjectsChanged();
    return 1;
}

int CQvGObjectContainer::PasteText(const std::string& text)
{
    // A text longer than a record holds could be pasted but never saved.
    if (text.empty() || text.size() >= static_cast<size_t>(kMaxRecordTextLength))
        return 0;
    auto* box = dynamic_cast<CQvGObjectText*>(CreateObject(SHAPE_TEXT));
    if (!box)
        return 0;
    AdoptPasted(box);
    box->GetProperty().SetComment(text);
    box->AddPoint(CPoint(0, 0));
    const CRect bound = box->RecalTextBound();
    box->AddPoint(CPoint(bound.right, bound.bottom));
    ObjectsChanged();
    return 1;
}

void CQvGObjectContainer::AdoptPasted(CQvGObject* obj)
{
    CancelObject();
    const OBJ_SHAPE shape = obj->GetObjShape();
    obj->SetContainer(this);
    GetDefaultProperty(obj, shape);
    SetNameWithIndexed(obj);
    obj->SetCalType();
    obj->SetState(GS_FINISHED);
    m_selected.clear();
    m_selected.push_back(obj);
    m_objects.push_back(obj);
    ObjectsChanged();
    InvalidateCanvas();
}

int CQvGObjectContainer::PasteRecords(FILE* file)
{
    LeReader in(file, LeReader::ReadAhead());
    const CQvGObjectProperty::LanguageSnapshot language;
    const int32_t count = in.Int32();
    if (!in.ok() || count < 0 || count > MaxRecordsIn(in))
        return 0;
    GObjectList pasted;
    for (int32_t i = 0; i < count; ++i)
    {
        CQvGObject* obj = ReadObjectRecord(in, m_version);
        if (!obj)
        {
            for (CQvGObject* done : pasted)
                done->RemoveAll();
            return 0;
        }
        pasted.push_back(obj);
    }
    // Pasted objects become the selection, whose first object is the one being drawn: a creation in progress
    // is abandoned first, or it would take a pasted object for its own.
    CancelObject();
    m_selected.clear();
    for (CQvGObject* obj : pasted)
    {
        obj->MoveTo(kPasteOffset);
        obj->SetCalType();
        m_selected.push_back(obj);
        m_objects.push_back(obj);
    }
    ObjectsChanged();
    return 1;
}
