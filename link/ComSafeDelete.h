#ifndef COMSAFEDELETE_H
#define COMSAFEDELETE_H

class QObject;

// Deletes sockets and devices without pulling them from under a call chain they are part of:
// a handler that runs inside a socket's readyRead (directly, or from a nested event loop) may
// close its connection. While any device slot is on the stack, release() only parks the object;
// when the outermost slot returns, the parked objects are handed to deleteLater.
class ComSafeDelete
{
public:
    // Entered by every device entry point for its whole run.
    class Scope
    {
    public:
        Scope();
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    static void release(QObject* object);
};

#endif // COMSAFEDELETE_H
