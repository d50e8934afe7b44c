#include "framepool/private/UndoFileWrite.h"

#include "framepool/private/UndoFileWorker.h"

#include <cstdio>
#include <utility>

UndoFileWrite::UndoFileWrite(CQvImage&& copy, const std::string& folder)
    : m_job(std::make_shared<UndoFileJob>(std::move(copy), folder))
{
    UndoFileWorker::Write(m_job);
}

UndoFileWrite::~UndoFileWrite()
{
    if (Cancel() && !m_job->path.empty())
        std::remove(m_job->path.c_str());
}

bool UndoFileWrite::Finish()
{
    std::unique_lock<std::mutex> hold(m_job->lock);
    m_job->changed.wait(hold, [this] {
        return m_job->state != UndoFileJob::kQueued && m_job->state != UndoFileJob::kWriting;
    });
    return m_job->state == UndoFileJob::kWritten;
}

bool UndoFileWrite::Cancel()
{
    m_job->cancel.store(true);
    std::unique_lock<std::mutex> hold(m_job->lock);
    if (m_job->state == UndoFileJob::kQueued) {
        // Not begun: the worker will pass it by.
        m_job->state = UndoFileJob::kStopped;
        return false;
    }
    m_job->changed.wait(hold, [this] { return m_job->state != UndoFileJob::kWriting; });
    return m_job->state == UndoFileJob::kWritten;
}

const std::string& UndoFileWrite::Path() const
{
    return m_job->path;
}

CQvImage UndoFileWrite::TakeCopy()
{
    return std::move(m_job->copy);
}

void UndoFileWrite::RemoveLater()
{
    if (Cancel()) {
        UndoFileWorker::Remove(m_job->path);
        m_job->path.clear();
    }
}
