#include "mainwindow/DataComRetry.h"

void DataComRetry::start()
{
    timeOuts = 0;
    givenUp = false;
}

DataComRetry::Step DataComRetry::onTimeOut()
{
    if (givenUp)
        return Step::Nothing;
    ++timeOuts;
    if (timeOuts <= retries)
        return Step::Retry;
    givenUp = true;
    return Step::GiveUp;
}
