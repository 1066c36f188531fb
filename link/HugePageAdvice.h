#ifndef HUGEPAGEADVICE_H
#define HUGEPAGEADVICE_H

#include <QtGlobal>

// Asks the system to back the whole huge pages inside a large buffer with huge pages. The first
// write to fresh memory costs a page fault per small page; on some machines (virtual ones above
// all) that is slower than the network, so a buffer that takes a channel's block would limit the
// transfer. Only advice: nothing changes where the system does not support it.
void adviseHugePages(char* data, qint64 size);

#endif // HUGEPAGEADVICE_H
