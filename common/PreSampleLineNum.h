#ifndef PRESAMPLELINENUM_H
#define PRESAMPLELINENUM_H

// The line number under which the instrument stores trial runs, always as station 0.
// Its negative marks "nothing chosen" in the read-back dialog.
constexpr int PreSampleLineNum = 42017259;

#endif // PRESAMPLELINENUM_H
