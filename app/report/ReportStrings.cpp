#include "report/ReportStrings.h"

#include "resources/StringTable.h"

namespace {

constexpr const char* kModule = "Vistrel";

const StringTableRegistrar kReportStrings(kModule,
                                          {
                                              {reportstr::IDS_STAT_MINIMUM, "Minimum", "최소값"},
                                              {reportstr::IDS_STAT_MAXIMUM, "Maximum", "최대값"},
                                              {reportstr::IDS_STAT_RANGE, "Range", "범위값"},
                                              {reportstr::IDS_STAT_MEAN, "Mean", "평균값"},
                                              {reportstr::IDS_STAT_STDDEV, "Standard Deviation", "표준 편차값"},
                                              {reportstr::IDS_STAT_SUM, "Sum", "합계"},
                                              {reportstr::IDS_STAT_COUNT, "Count", "측정횟수"},
                                              {reportstr::IDS_NAME_COLUMN, "Name", "이름"},
                                              {reportstr::IDS_WORKBOOK_NOT_WRITTEN,
                                               "The report could not be written into the folder %s.",
                                               "%s 폴더에 보고서를 저장할 수 없습니다."},
                                              {reportstr::IDS_STATISTICS_TABLE, "Statistics Table", "통계 테이블"},
                                              {reportstr::IDS_MAIN_TABLE, "Measurement Table", "측정 테이블"},
                                              {reportstr::IDS_BACKUP_TITLE, "Result Backup", "결과 백업창"},
                                              {reportstr::IDS_TEXT_SAVE_TITLE, "Save ..."},
                                              {reportstr::IDS_TEXT_FILE_FILTER, "Text File (*.txt)|*.txt||"},
                                          });

}  // namespace

std::string ReportString(UINT id)
{
    return LoadString(kModule, id);
}
