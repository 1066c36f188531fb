#include "projectdata/ImpedanceTaskPool.h"

#include <QMutexLocker>
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
        QMutexLocker lock(&mutex);
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
    QMutexLocker lock(&mutex);
    if (--runningTasks == 0)
        idle.wakeAll();
}

void ImpedanceTaskPool::waitForAll()
{
    QMutexLocker lock(&mutex);
    while (runningTasks > 0)
        idle.wait(&mutex);
}

int ImpedanceTaskPool::running() const
{
    QMutexLocker lock(&mutex);
    return runningTasks;
}
