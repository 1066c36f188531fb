#include "AtsFixture.h"

#include <QtEndian>

QFile *AtsFixture::add(const QString &name, const QVector<qint32> &counts)
{
    auto file = std::make_unique<QFile>(dir.filePath(name));
    if (file->open(QIODevice::WriteOnly)) {
        for (qint32 count : counts) {
            const qint32 little = qToLittleEndian(count);
            file->write(reinterpret_cast<const char *>(&little), 4);
        }
        file->close();
    }
    owned.push_back(std::move(file));
    return owned.back().get();
}

QList<QFile *> AtsFixture::files() const
{
    QList<QFile *> list;
    for (const auto &file : owned)
        list << file.get();
    return list;
}

void AtsFixture::remove(QFile *file)
{
    for (auto it = owned.begin(); it != owned.end(); ++it) {
        if (it->get() == file) {
            owned.erase(it);
            return;
        }
    }
}

QVector<qint32> rampCounts(int n)
{
    QVector<qint32> counts(n);
    for (int k = 0; k < n; ++k)
        counts[k] = k;
    return counts;
}
