#include "projectdata/CheckedFileCopy.h"

#include <QCoreApplication>
#include <QFile>

#include <vector>

namespace {

const qint64 blockSize = 4 * 1024 * 1024;

bool fail(QString *error, const QFile &file)
{
    if (error)
        *error = QCoreApplication::translate("DataModel_Index", "%1：%2").arg(file.fileName(), file.errorString());
    return false;
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
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(error, out);
    if (!copyBlocks(in, out, error))
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
