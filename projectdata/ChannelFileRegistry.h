#ifndef CHANNELFILEREGISTRY_H
#define CHANNELFILEREGISTRY_H

#include <QHash>
#include <QString>

class QFile;

// The channel file objects of an open project, one per path. The registry owns them;
// records that name them (SampleInfo) only borrow them.
class ChannelFileRegistry
{
public:
    ChannelFileRegistry() = default;
    ~ChannelFileRegistry();
    ChannelFileRegistry(const ChannelFileRegistry &) = delete;
    ChannelFileRegistry &operator=(const ChannelFileRegistry &) = delete;

    // The one object for the path, made (unopened) on first use.
    QFile *file(const QString &path);
    int count() const;
    // Deletes every object; records still naming them must be gone first.
    void clear();

private:
    QHash<QString, QFile *> files;
};

#endif // CHANNELFILEREGISTRY_H
