#ifndef RESENDRULE_H
#define RESENDRULE_H

#include <QtGlobal>

// Whether a control request left unanswered may be sent again: only what the instrument can do
// twice without harm (questions, listings, a group's transfer request, settings it overwrites). A stop, a start, a format, a
// deletion or a power off that was carried out but not answered would act a second time, on
// whatever the instrument is doing by then.
bool harmlessToRepeat(uint msgID);

#endif // RESENDRULE_H
