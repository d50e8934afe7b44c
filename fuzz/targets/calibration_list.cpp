// The calibration list file "calibration.cst", also what an imported "*.cst" file is read as.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "core/CCalibrationList.h"

namespace {

std::vector<uint8_t> Written(const CCalibrationList& list)
{
    FuzzOutput out;
    FuzzCheck(list.WriteStream(out.file()) == 1, "a list that was read can be written");
    return out.Contents();
}

}  // namespace

VISTREL_FUZZ_TARGET(calibration_list)
{
    CCalibrationList list;
    FuzzInput in(data, size);
    const CCalibrationList::ReadStatus status = list.ReadStream(in.file());
    FuzzCheck(status != CCalibrationList::READ_FOREIGN || list.GetItems().empty(), "a foreign file adds nothing");
    // Whatever was read, older versions included, is written as the current version and reads back the same.
    const std::vector<uint8_t> bytes = Written(list);
    CCalibrationList again;
    FuzzInput back(bytes.data(), bytes.size());
    FuzzCheck(again.ReadStream(back.file()) == CCalibrationList::READ_CLEAN, "what the list wrote reads back");
    FuzzCheck(Written(again) == bytes, "a list read back writes the same bytes");
    return 0;
}
