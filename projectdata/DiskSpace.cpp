#include "projectdata/DiskSpace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QStorageInfo>

namespace {

QString text(const char *source)
{
    return QCoreApplication::translate("DataModel_Index", source);
}

QString size(qint64 bytes)
{
    return QLocale::system().formattedDataSize(bytes);
}

// The nearest existing folder at or above path.
QString existingFolder(const QString &path)
{
    QFileInfo info(path);
    while (!info.exists() && !info.isRoot() && info.absolutePath() != info.absoluteFilePath())
        info.setFile(info.absolutePath());
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

} // namespace

namespace DiskSpace {

QString shortage(const QString &path, qint64 bytes)
{
    const QStorageInfo storage(existingFolder(path));
    if (!storage.isValid() || !storage.isReady())
        return QString();
    const qint64 available = storage.bytesAvailable();
    if (available >= bytes + margin)
        return QString();
    return text("磁盘空间不足：%1需要约%2（另留%3余量），只剩%4。请腾出空间后再试。")
        .arg(QDir::toNativeSeparators(storage.rootPath()), size(bytes), size(margin), size(available));
}

QString failedWriteReason(const QString &path)
{
    const QString folder = existingFolder(path);
    const QStorageInfo storage(folder);
    if (storage.isValid() && storage.isReady() && storage.bytesAvailable() < margin)
        return text("磁盘空间不足（%1只剩%2）").arg(QDir::toNativeSeparators(storage.rootPath()), size(storage.bytesAvailable()));
    if (storage.isReadOnly() || !QFileInfo(folder).isWritable())
        return text("%1不能写入").arg(QDir::toNativeSeparators(folder));
    return QString();
}

QString withReason(const QString &failure, const QString &path)
{
    const QString reason = failedWriteReason(path);
    return reason.isEmpty() ? failure : failure + QStringLiteral("：") + reason;
}

} // namespace DiskSpace
