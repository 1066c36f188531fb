#ifndef DIALOGCLOSEGUARD_H
#define DIALOGCLOSEGUARD_H

#include <QCloseEvent>

// Dialogs close only through their own confirm or cancel handlers, which set the may-close
// flag just before closing; the window's close button does nothing.
inline void acceptCloseOnlyIfAllowed(bool &mayClose, QCloseEvent *event)
{
    if (mayClose) {
        mayClose = false;
        event->accept();
    } else {
        event->ignore();
    }
}

#endif // DIALOGCLOSEGUARD_H
