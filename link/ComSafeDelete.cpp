#include "link/ComSafeDelete.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <utility>

namespace {
thread_local int slotDepth = 0;
thread_local QList<QPointer<QObject>> parked;
} // namespace

ComSafeDelete::Scope::Scope()
{
    ++slotDepth;
}

ComSafeDelete::Scope::~Scope()
{
    if (--slotDepth > 0)
        return;
    // The outermost slot is returning into the socket's own code: delete once it is done.
    const QList<QPointer<QObject>> objects = std::exchange(parked, {});
    for (const QPointer<QObject>& object : objects) {
        if (object)
            object->deleteLater();
    }
}

void ComSafeDelete::release(QObject* object)
{
    if (!object)
        return;
    if (slotDepth == 0) {
        delete object;
        return;
    }
    parked.append(object);
}
