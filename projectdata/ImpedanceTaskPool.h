#ifndef IMPEDANCETASKPOOL_H
#define IMPEDANCETASKPOOL_H

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QThreadPool;

// Runs tasks on a thread pool (the global one unless set) and can wait for exactly its own tasks,
// without waiting for other users of the pool.
class ImpedanceTaskPool
{
public:
    ImpedanceTaskPool();
    ~ImpedanceTaskPool();
    ImpedanceTaskPool(const ImpedanceTaskPool &) = delete;
    ImpedanceTaskPool &operator=(const ImpedanceTaskPool &) = delete;

    void setThreadPool(QThreadPool *pool);
    void start(std::function<void()> task);
    // From a task: runs the call on the thread that made the pool, in turn with its other events.
    void post(std::function<void()> call);
    // Blocks until every task started here has returned.
    void waitForAll();
    int running() const;

private:
    class Replies;

    void finished();

    QThreadPool *threadPool = nullptr;
    // Standard primitives, so that thread checkers see the hand-over.
    mutable std::mutex mutex;
    std::condition_variable idle;
    int runningTasks = 0;
    std::unique_ptr<Replies> replies;
};

#endif // IMPEDANCETASKPOOL_H
