#ifndef WORKSTATE_H
#define WORKSTATE_H

// What the program is doing with the instrument. 0 only while the main window is being built;
// 5 is not used.
enum WorkState {
    WORK_IDLE = 1,
    WORK_ONLINE_SAMPLING = 2,
    WORK_OFFLINE_SAMPLING = 3,
    WORK_EXPORTING = 4,
    WORK_OVERWATER_SAMPLING = 6,
};

#endif // WORKSTATE_H
