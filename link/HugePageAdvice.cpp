#include "link/HugePageAdvice.h"

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#include <unistd.h>
#endif

void adviseHugePages(char* data, qint64 size)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr quintptr HugePage = 2 * 1024 * 1024;
    const quintptr page = quintptr(sysconf(_SC_PAGESIZE));
    // Outward to whole pages: a large block is a mapping of its own, and advice on part of it
    // would split it, so that growing it could no longer remap it without copying.
    const quintptr begin = quintptr(data) / page * page;
    const quintptr end = (quintptr(data) + quintptr(size) + page - 1) / page * page;
    if (!data || size <= 0 || end < begin + HugePage)
        return;
    madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data)
    Q_UNUSED(size)
#endif
}
