// The program's texts of the calibration windows (string resources of the program, kept by number).
#pragma once

namespace calibration_text {

inline constexpr const char* kNoCalibrations = "교정 내역이 없습니다.";                         // 106
inline constexpr const char* kCapturedImageNeeded = "캡쳐된 이미지 창이 활성화 되어야 합니다.";  // 109
inline constexpr const char* kAskName = "교정 이름 입력";                                      // 411
inline constexpr const char* kAskMagnification = "렌즈 배율 입력 (정수)";                        // 412
inline constexpr const char* kAskUnitsPerPixel = "UPP 입력";                                    // 414
inline constexpr const char* kNameColumn = "교정명";                                            // 444
inline constexpr const char* kNone = "없음";                                                    // 523
inline constexpr const char* kTemporary = "임시";                                               // 524
inline constexpr const char* kUnitLossWarning = "교정 정보를 잃게되니다. 계속 하시겠습니까?";      // 742
inline constexpr const char* kDrawCalibrationLine = "교정 개체를 생성 하십시오.";                  // 763
inline constexpr const char* kNameExists = "이미 존재하는 교정명입니다.";                          // 766
inline constexpr const char* kChooseName = "교정명을 반드시 선택하여야 합니다.";                   // 772
inline constexpr const char* kMagnificationExists = "이미 존재하는 배율입니다.";                   // 773
inline constexpr const char* kFillEverything = "내용을 모두 기입하세요.";                          // 774
inline constexpr const char* kZeroLength = "Length cannot be zero!!";
inline constexpr const char* kErrorCaption = "Error";
// The manager's OK with names listed but none chosen: the box had no text of its own.
inline constexpr const char* kNoNameSelected = "교정명을 반드시 선택하여야 합니다.";
// The special calibration whose entries cannot be renamed or deleted.
inline constexpr const char* kProtectedName = "QMS-7200";

}  // namespace calibration_text
