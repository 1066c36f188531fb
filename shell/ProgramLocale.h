#ifndef PROGRAMLOCALE_H
#define PROGRAMLOCALE_H

class QCoreApplication;
class QTranslator;

// Makes the program Chinese (China) whatever the system's locale: numbers and dates format by
// it, and the toolkit's standard texts ("OK", "Cancel", ...) come from the toolkit's own Chinese
// translation. Returns the installed translator (owned by the application), or nullptr when that
// translation cannot be loaded and the standard texts stay English.
QTranslator *installProgramLocale(QCoreApplication &app);

#endif // PROGRAMLOCALE_H
