#include "projectdata/CheckedFileCopy.h"

#include <QCoreApplication>
#include <QFile>

#include <vector>

#ifdef Q_OS_LINUX
#include <cerrno>
#include <unistd.h>
#endif

namespace {

const qint64 blockSize = 4 * 1024 * 1024;

bool fail(QString *error, const QFile &file)
{
    if (error)
        *error = QCoreApplication::translate("DataModel_Index", "%1：%2").arg(file.fileName(), file.errorString());
    return false;
}

// The kernel copies (or shares extents) without passing the bytes through the program. False,
// with nothing to report, when the file system cannot do it: the caller then copies blocks.
bool copyInKernel(QFile &in, QFile &out, QString *error, bool *done)
{
    *done = false;
#ifdef Q_OS_LINUX
    qint64 remaining = in.size();
    bool started = false;
    while (remaining > 0) {
        const ssize_t copied = ::copy_file_range(in.handle(), nullptr, out.handle(), nullptr, size_t(remaining), 0);
        if (copied < 0 && !started && (errno == EXDEV || errno == ENOSYS || errno == EINVAL || errno == EOPNOTSUPP))
            return true;
        if (copied < 0) {
            // The kernel's errno: the file object did not see this call and knows no reason.
            if (error)
                *error = QCoreApplication::translate("DataModel_Index", "%1：%2").arg(out.fileName(), qt_error_string(errno));
            return false;
        }
        if (copied == 0)
            break;
        started = true;
        remaining -= copied;
    }
    *done = true;
#else
    Q_UNUSED(in)
    Q_UNUSED(out)
    Q_UNUSED(error)
#endif
    return true;
}

bool copyBlocks(QFile &in, QFile &out, QString *error)
{
    std::vector<char> buffer(size_t(qMin(blockSize, qMax<qint64>(in.size(), 1))));
    for (;;) {
        const qint64 got = in.read(buffer.data(), qint64(buffer.size()));
        if (got < 0)
            return fail(error, in);
        if (got == 0)
            return true;
        if (out.write(buffer.data(), got) != got)
            return fail(error, out);
    }
}

} // namespace

bool copyFileChecked(const QString &source, const QString &destination, QString *error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        return fail(error, in);
    QFile out(destination);
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return fail(error, out);
    bool done = false;
    if (!copyInKernel(in, out, error, &done) || (!done && !copyBlocks(in, out, error)))
        return false;
    if (!out.flush())
        return fail(error, out);
    const qint64 copied = out.size();
    out.close();
    if (out.error() != QFileDevice::NoError)
        return fail(error, out);
    if (copied != in.size()) {
        if (error)
            *error = QCoreApplication::translate("DataModel_Index", "%1：复制不完整").arg(destination);
        return false;
    }
    return true;
}
