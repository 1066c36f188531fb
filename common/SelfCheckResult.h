#ifndef SELFCHECKRESULT_H
#define SELFCHECKRESULT_H

// The instrument's self-check answer. Its layout is not defined: a pointer to it addresses the
// reply's payload bytes, which nothing reads.
struct SelfCheckResult
{
};

#endif // SELFCHECKRESULT_H
