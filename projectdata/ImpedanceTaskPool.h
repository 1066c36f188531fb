#ifndef IMPEDANCETASKPOOL_H
#define IMPEDANCETASKPOOL_H

#include <condition_variable>
#include <functional>
#include <mutex>

class QThreadPool;

// Runs tasks on a thread pool (the global one unless set) and can wait for exactly its own tasks,
// without waiting for other users of the pool.
class ImpedanceTaskPool
{
public:
    ImpedanceTaskPool() = default;
    ~ImpedanceTaskPool();
    ImpedanceTaskPool(const ImpedanceTaskPool &) = delete;
    ImpedanceTaskPool &operator=(const ImpedanceTaskPool &) = delete;

    void setThreadPool(QThreadPool *pool);
    void start(std::function<void()> task);
    // Blocks until every task started here has returned.
    void waitForAll();
    int running() const;

private:
    void finished();

    QThreadPool *threadPool = nullptr;
    // Standard primitives, so that thread checkers see the hand-over.
    mutable std::mutex mutex;
    std::condition_variable idle;
    int runningTasks = 0;
};

#endif // IMPEDANCETASKPOOL_H
