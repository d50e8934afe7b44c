// The calibration record of document and calibration files.
#include "FuzzSupport.h"
#include "FuzzTarget.h"

#include "CCalibKeeper.h"

VISTREL_FUZZ_TARGET(calib_record)
{
    CCalibKeeper calib;
    FuzzInput in(data, size);
    if (calib.Read(in.file()) != 1)
        return 0;
    FuzzOutput written;
    FuzzCheck(calib.Write(written.file()) == 1, "a calibration that was read can be written");
    const std::vector<uint8_t> bytes = written.Contents();
    CCalibKeeper again;
    FuzzInput back(bytes.data(), bytes.size());
    FuzzCheck(again.Read(back.file()) == 1, "what the calibration wrote reads back");
    return 0;
}
