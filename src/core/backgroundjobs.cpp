// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/backgroundjobs.h"

#include <algorithm>

namespace rinkaro
{

BackgroundJobs::~BackgroundJobs()
{
    cancelAll();
    waitAll();
    // Their results, queued for this object, go with it.
    for (const Job &job : jobs_)
        delete job.thread;
}

void BackgroundJobs::launch(std::function<void(const Cancelled &)> work, std::function<void()> done,
                            QThread::Priority priority)
{
    auto cancelled = std::make_shared<Cancelled>(false);
    QThread *thread = QThread::create([work = std::move(work), cancelled] { work(*cancelled); });
    // Delivered on this object's thread, after the thread's own work has ended.
    connect(thread, &QThread::finished, this,
            [this, thread, cancelled, done = std::move(done)]() mutable {
                const auto job = std::find_if(jobs_.begin(), jobs_.end(), [thread](const Job &j) {
                    return j.thread == thread;
                });
                if (job == jobs_.end())
                    return; // waited for and deleted already
                jobs_.erase(job);
                thread->deleteLater();
                if (!cancelled->load())
                    done();
            });
    jobs_.push_back({thread, cancelled});
    thread->start(priority);
}

void BackgroundJobs::cancelAll()
{
    for (const Job &job : jobs_)
        job.cancelled->store(true);
}

void BackgroundJobs::waitAll()
{
    // The results of the jobs that end here still come through the event loop.
    for (const Job &job : jobs_)
        job.thread->wait();
}

} // namespace rinkaro
