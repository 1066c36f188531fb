#include "projectdata/ImpedanceTaskPool.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QRunnable>
#include <QThreadPool>

#include <deque>

#if defined(__SANITIZE_THREAD__)
#include <sanitizer/tsan_interface.h>
#define AMT_HAND_OVER(object) __tsan_release(object)
#define AMT_TAKE_OVER(object) __tsan_acquire(object)
#else
#define AMT_HAND_OVER(object)
#define AMT_TAKE_OVER(object)
#endif

namespace {

// The pool passes a task to its thread through the toolkit's own locks, which a thread checker
// of our code does not see; the task marks that hand-over itself before touching its data.
class PoolTask : public QRunnable
{
public:
    explicit PoolTask(std::function<void()> work)
        : work(std::move(work))
    {
        AMT_HAND_OVER(this);
    }
    void run() override
    {
        AMT_TAKE_OVER(this);
        work();
    }

private:
    std::function<void()> work;
};

} // namespace

// Calls that tasks hand back to the pool's thread. The event that wakes that thread carries
// nothing: the calls wait here under a standard mutex, which a thread checker sees, where the
// toolkit's event queue would pass them through locks it does not see.
class ImpedanceTaskPool::Replies : public QObject
{
public:
    void post(std::function<void()> call)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            calls.push_back(std::move(call));
        }
        QCoreApplication::postEvent(this, new QEvent(QEvent::User));
    }

protected:
    void customEvent(QEvent *) override
    {
        std::function<void()> call;
        {
            std::lock_guard<std::mutex> lock(mutex);
            if (calls.empty())
                return;
            call = std::move(calls.front());
            calls.pop_front();
        }
        call();
    }

private:
    std::mutex mutex;
    std::deque<std::function<void()>> calls;
};

ImpedanceTaskPool::ImpedanceTaskPool()
    : replies(std::make_unique<Replies>())
{
}

ImpedanceTaskPool::~ImpedanceTaskPool()
{
    waitForAll();
}

void ImpedanceTaskPool::post(std::function<void()> call)
{
    replies->post(std::move(call));
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
    pool->start(new PoolTask([this, task = std::move(task)]() {
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
