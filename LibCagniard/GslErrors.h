#ifndef GSLERRORS_H
#define GSLERRORS_H

// GSL's default error handler aborts the program. Every GSL call of this library checks its
// inputs first and calls this before, so that an overlooked case returns an error code instead.
// Thread-safe; the handler is switched off once per process.
void turnGslAbortOff();

#endif // GSLERRORS_H
