// Seeds of the calibration list reader: lists written by the list itself, empty and with calibrations that have
// several, one or no magnification.
#include "FuzzSeeds.h"
#include "FuzzSupport.h"

#include "core/CCalibrationList.h"

namespace {

CCalibKeeper Calibration(const char* name, int unit, double unitsPerPixel, double magnification)
{
    CCalibKeeper calibration;
    calibration.SetName(name);
    calibration.SetUnit(unit);
    calibration.SetUnitsPerPixel(unitsPerPixel);
    calibration.SetMagnification(magnification);
    return calibration;
}

std::vector<uint8_t> Written(const CCalibrationList& list)
{
    FuzzOutput out;
    list.WriteStream(out.file());
    return out.Contents();
}

}  // namespace

VISTREL_FUZZ_SEEDS(calibration_list)
{
    CCalibrationList empty;
    CCalibrationList list;
    list.StoreCalibration(Calibration("x10 objective", UNIT_MICROMETER, 0.52, 10));
    list.StoreCalibration(Calibration("x10 objective", UNIT_MICROMETER, 0.26, 20));
    list.StoreCalibration(Calibration("stage \xeb\xaa\xa9\xec\x95\x88", UNIT_MILLIMETER, 0.004, -1));
    list.AddItem(std::make_unique<CCalibrationListItem>(Calibration("unused", UNIT_INCH, 1.0, -1)));
    return {Written(empty), Written(list)};
}
