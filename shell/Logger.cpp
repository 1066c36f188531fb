#include "shell/Logger.h"

#include "common/Clock.h"

#include <QDir>
#include <QFile>
#include <QMutex>
#include <QTextStream>

#include <iostream>

namespace {
// Worker threads (the impedance tasks) log too.
QMutex writeLock;
QFile logFile;
QTextStream logStream;
} // namespace

void initLogger()
{
    const QString folder = QStringLiteral("log");
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    const QString date = Clock::now().toString(QStringLiteral("yyMMdd"));
    logFile.setFileName(QStringLiteral("./log/log_%1.txt").arg(date));
    logFile.open(QIODevice::WriteOnly | QIODevice::Append);
    logStream.setDevice(&logFile);
    qInstallMessageHandler(logMessageHandler);
}

void logMessageHandler(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    QString level;
    switch (type) {
    case QtDebugMsg: level = QStringLiteral("Debug"); break;
    case QtWarningMsg: level = QStringLiteral("Warn"); break;
    case QtCriticalMsg: level = QStringLiteral("Critical"); break;
    case QtFatalMsg: level = QStringLiteral("Fatal"); break;
    case QtInfoMsg: return;
    }
    const QString time = Clock::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz"));
    // One pass, so a "%1" inside the message stays as written.
    const QString line = QStringLiteral("[%1] %2 (%3)").arg(level, message, time);
    writeLogFileLine(line);
    writeConsoleLine(line);
}

void writeLogFileLine(const QString &line)
{
    QMutexLocker locker(&writeLock);
    // A file that did not open takes no lines; writing would only add a warning to each.
    if (!logFile.isOpen())
        return;
    logStream << line << "\n";
    logStream.flush();
}

void writeConsoleLine(const QString &line)
{
    QMutexLocker locker(&writeLock);
    std::cout << line.toUtf8().constData() << std::endl;
}
