// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace rinkaro
{

// Work done on threads of their own, each handing its result back on the owner's thread.
// A job is given a cancel flag to look at now and then; a cancelled job's result is
// dropped. Every job still running is cancelled and waited for when the owner goes, so
// nothing outlives what it works for.
class BackgroundJobs : public QObject
{
public:
    using Cancelled = std::atomic<bool>;

    explicit BackgroundJobs(QObject *parent = nullptr) : QObject(parent) {}
    ~BackgroundJobs() override;
    BackgroundJobs(const BackgroundJobs &) = delete;
    BackgroundJobs &operator=(const BackgroundJobs &) = delete;

    // Runs `work(cancelled)` on a new thread, then `done(result)` on this object's thread
    // unless the job was cancelled meanwhile.
    template <typename Work, typename Done>
    void start(Work work, Done done, QThread::Priority priority = QThread::InheritPriority)
    {
        using Result = decltype(work(std::declval<const Cancelled &>()));
        auto result = std::make_shared<std::optional<Result>>();
        launch([work = std::move(work),
                result](const Cancelled &cancelled) mutable { result->emplace(work(cancelled)); },
               [done = std::move(done), result]() mutable { done(std::move(**result)); }, priority);
    }
    // Cancels every job: their results are dropped.
    void cancelAll();
    // Waits for every job to end (cancelled or not); their results come afterwards.
    void waitAll();
    int running() const { return int(jobs_.size()); }

private:
    struct Job {
        QThread *thread;
        std::shared_ptr<Cancelled> cancelled;
    };
    void launch(std::function<void(const Cancelled &)> work, std::function<void()> done,
                QThread::Priority priority);
    std::vector<Job> jobs_;
};

} // namespace rinkaro
