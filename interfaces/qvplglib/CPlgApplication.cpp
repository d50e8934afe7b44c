#include "qvplglib/CPlgApplication.h"

CPlgApplication::CPlgApplication() = default;

CPlgApplication::~CPlgApplication() = default;

int CPlgApplication::CreatePlgView(int /*index*/, int /*reserved*/, CPlgView** /*out*/)
{
    return 0;
}

int CPlgApplication::InitPlgApp()
{
    return 1;
}

int CPlgApplication::ExitPlgApp()
{
    return 1;
}

int CPlgApplication::AddPlgInfo(const char* group, const char* item, int flag, int index, unsigned long reserved)
{
    if (!group || !item)
        return 0;
    m_plgInfo.push_back(tagPlgInfo{group, item, flag, index, reserved});
    return 1;
}
