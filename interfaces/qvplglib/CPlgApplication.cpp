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

namespace {

struct HostCalls
{
    std::function<void(CPlgApplication*)> destroy;
    std::function<void()> updateReport;
};

HostCalls& TheHostCalls()
{
    static HostCalls calls;
    return calls;
}

}  // namespace

void CPlgApplication::SetHostCalls(std::function<void(CPlgApplication*)> destroy,
                                   std::function<void()> updateReport)
{
    TheHostCalls() = HostCalls{std::move(destroy), std::move(updateReport)};
}

void CPlgApplication::Destroy()
{
    // A copy: the host may install other calls while it detaches.
    const auto destroy = TheHostCalls().destroy;
    if (destroy)
        destroy(this);
}

void CPlgApplication::UpdateReport()
{
    const auto update = TheHostCalls().updateReport;
    if (update)
        update();
}
