#include "projectdata/ImpedanceTaskPool.h"

#include <QRunnable>
#include <QThreadPool>

ImpedanceTaskPool::~ImpedanceTaskPool()
{
    waitForAll();
}

void ImpedanceTaskPool::setThreadPool(QThreadPool *pool)
{
    threadPool = pool;
}

void ImpedanceTaskPool::start(std::function<void()> task)
{
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++runningTasks;
    }
    QThreadPool *pool = threadPool ? threadPool : QThreadPool::globalInstance();
    pool->start(QRunnable::create([this, task = std::move(task)]() {
        task();
        finished();
    }));
}

void ImpedanceTaskPool::finished()
{
    std::lock_guard<std::mutex> lock(mutex);
    if (--runningTasks == 0)
        idle.notify_all();
}

void ImpedanceTaskPool::waitForAll()
{
    std::unique_lock<std::mutex> lock(mutex);
    idle.wait(lock, [this]() { return runningTasks == 0; });
}

int ImpedanceTaskPool::running() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return runningTasks;
}
