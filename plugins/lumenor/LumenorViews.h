// The application object and the views of the "Image Enhance" plug-in: one view per menu entry, each running its
// operation on the document's image with one undo point before the first change. The entries without a dialog
// build their result as a new image that takes the document image's place, so the image as it was becomes the undo
// point without being copied; the dialogs preview on the document's image and keep a copy as the undo point.
#pragma once

#include "qvplglib/CPlgApplication.h"
#include "qvplglib/CPlgView.h"

#include <string>

class CQvImage;

namespace lumenor {

// The menu entries in index order.
enum EnhanceEntry
{
    kInvert = 0,
    kAutoContrast = 1,
    kAutoLevel = 2,
    kHistogramEqualize = 3,
    kRemoveNoise = 4,
    kBrightnessContrast = 5,
    kThreshold = 6,
    kEntryCount = 7,
};

// The modes the host may hand over before a view is made; they pick the view whatever the entry (exact case).
constexpr const char kAutoLevelMode[] = "AutoLevel";
constexpr const char kHistogramEqualizeMode[] = "HitogramEqualize";

// Where the threshold dialog keeps its last value ("ThresholdValue.txt"): the module's own folder unless a test
// sets another one ("" goes back to the module's folder).
void SetThresholdSettingsFolder(const std::string& folder);
std::string ThresholdSettingsPath();

}  // namespace lumenor

class CEnhancePlgApp : public CPlgApplication
{
public:
    int CreatePlgView(int index, int reserved, CPlgView** out) override;

    // The mode string; it stays until the next call.
    void SetMode(const char* mode) { m_mode = mode ? mode : ""; }
    const std::string& GetMode() const { return m_mode; }

private:
    std::string m_mode;
};

// The common part of every entry: refuses an empty or unsupported image.
class CEnhanceView : public CPlgView
{
public:
    int Run() override;
    // Which entry this view runs (for the host's tests and logs).
    virtual lumenor::EnhanceEntry Entry() const = 0;

protected:
    // The entry's work on the current image, undo point included; returns Run's result.
    virtual int Apply(CQvImage& image) = 0;
    // Builds the operation's result from `image` in a new image, puts it in the image's place with the image as
    // the undo point, and repaints. 0 when nothing could be built (nothing changed then).
    int Replace(const CQvImage& image, bool (*operation)(const CQvImage&, CQvImage&));
    // Keeps a copy of the whole image as the undo point, for an entry that changes the image in place.
    void KeepUndoCopy();
};

class CInvertView : public CEnhanceView
{
public:
    lumenor::EnhanceEntry Entry() const override { return lumenor::kInvert; }

protected:
    int Apply(CQvImage& image) override;
};

class CAutoContrastView : public CEnhanceView
{
public:
    lumenor::EnhanceEntry Entry() const override { return lumenor::kAutoContrast; }

protected:
    int Apply(CQvImage& image) override;
};

class CAutoLevelView : public CEnhanceView
{
public:
    lumenor::EnhanceEntry Entry() const override { return lumenor::kAutoLevel; }

protected:
    int Apply(CQvImage& image) override;
};

class CHistogramEqualizeView : public CEnhanceView
{
public:
    lumenor::EnhanceEntry Entry() const override { return lumenor::kHistogramEqualize; }

protected:
    int Apply(CQvImage& image) override;
};

class CRemoveNoiseView : public CEnhanceView
{
public:
    lumenor::EnhanceEntry Entry() const override { return lumenor::kRemoveNoise; }

protected:
    int Apply(CQvImage& image) override;
};

class CBrightnessContrastView : public CEnhanceView
{
public:
    lumenor::EnhanceEntry Entry() const override { return lumenor::kBrightnessContrast; }

protected:
    int Apply(CQvImage& image) override;
};

class CThresholdView : public CEnhanceView
{
public:
    lumenor::EnhanceEntry Entry() const override { return lumenor::kThreshold; }

protected:
    int Apply(CQvImage& image) override;
};
