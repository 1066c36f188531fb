#ifndef ATSFIXTURE_H
#define ATSFIXTURE_H

#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QVector>

#include <memory>
#include <vector>

// Channel files of one recording in a temporary folder; owns their QFile objects.
class AtsFixture
{
public:
    // Writes counts as little-endian int32 to a file of that name and returns its QFile.
    QFile *add(const QString &name, const QVector<qint32> &counts);
    QString path(const QString &name) const { return dir.filePath(name); }
    QList<QFile *> files() const;
    void remove(QFile *file);

private:
    QTemporaryDir dir;
    std::vector<std::unique_ptr<QFile>> owned;
};

// counts[k] = k, so a drawn point tells which sample it came from.
QVector<qint32> rampCounts(int n);

#endif // ATSFIXTURE_H
