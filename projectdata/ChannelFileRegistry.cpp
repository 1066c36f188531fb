#include "projectdata/ChannelFileRegistry.h"

#include <QFile>

ChannelFileRegistry::~ChannelFileRegistry()
{
    clear();
}

QFile *ChannelFileRegistry::file(const QString &path)
{
    QFile *&entry = files[path];
    if (!entry)
        entry = new QFile(path);
    return entry;
}

int ChannelFileRegistry::count() const
{
    return files.size();
}

void ChannelFileRegistry::clear()
{
    qDeleteAll(files);
    files.clear();
}
