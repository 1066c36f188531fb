#ifndef DATACOMRETRY_H
#define DATACOMRETRY_H

// Counts the time-outs of one data-connection request: the first two retry the connect, the
// third gives up (once); later time-outs, until the next request, do nothing.
class DataComRetry
{
public:
    enum class Step { Retry, GiveUp, Nothing };

    static constexpr int intervalMs = 20000;
    static constexpr int retries = 2;

    // A new connection request.
    void start();
    Step onTimeOut();
    int attempts() const { return timeOuts; }

private:
    int timeOuts = 0;
    bool givenUp = false;
};

#endif // DATACOMRETRY_H
