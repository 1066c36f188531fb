#ifndef LOGGER_H
#define LOGGER_H

#include <QString>
#include <QtGlobal>

// A message handler that writes each debug, warning, critical and fatal message as one dated
// line to "./log/log_yyMMdd.txt" (the day of installation) and to the console.
// The program does not install it; initLogger() switches it on.

void initLogger();
void logMessageHandler(QtMsgType type, const QMessageLogContext &context, const QString &message);
// Both writers may be called from any thread.
void writeLogFileLine(const QString &line);
void writeConsoleLine(const QString &line);

#endif // LOGGER_H
