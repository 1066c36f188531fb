#include "common/Clock.h"
#include "shell/Logger.h"

#include <QTextCodec>
#include <QtTest>

namespace {

const char *childArgument = "--logger-child";

// Runs in a child process: installs the logger on 7 March 2025 at 09:05:03.007 and logs.
int runLoggerChild()
{
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8")); // as start-up does
    Clock::set(QDateTime(QDate(2025, 3, 7), QTime(9, 5, 3, 7)));
    initLogger();
    qWarning("abc");
    qInfo("not logged");
    qDebug("%s", "%1 as written");
    qCritical("采样完成");
    // The handler alone: through qFatal the toolkit would end the process after it.
    logMessageHandler(QtFatalMsg, QMessageLogContext(), QStringLiteral("last words"));
    return 0;
}

const QStringList expectedLines = {
    "[Warn] abc (2025-03-07 09:05:03.007)",
    "[Debug] %1 as written (2025-03-07 09:05:03.007)",
    "[Critical] 采样完成 (2025-03-07 09:05:03.007)",
    "[Fatal] last words (2025-03-07 09:05:03.007)",
};

QStringList linesOf(const QByteArray &text)
{
    return QString::fromUtf8(text).split('\n', Qt::SkipEmptyParts);
}

// The console lines of one child run in the folder.
QStringList runChild(const QString &folder)
{
    QProcess child;
    child.setWorkingDirectory(folder);
    child.start(QCoreApplication::applicationFilePath(), {childArgument});
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return {"child failed: " + QString::fromUtf8(child.readAllStandardError())};
    return linesOf(child.readAllStandardOutput());
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("missing");
}

} // namespace

class TestLogger : public QObject
{
    Q_OBJECT
private slots:
    void datedFileAndConsole();
    void secondRunAppends();
    void logPathThatIsAFile();
};

void TestLogger::datedFileAndConsole()
{
    QTemporaryDir folder;
    QCOMPARE(runChild(folder.path()), expectedLines);
    QCOMPARE(contentOf(folder.filePath("log/log_250307.txt")), (expectedLines.join('\n') + '\n').toUtf8());
}

void TestLogger::secondRunAppends()
{
    QTemporaryDir folder;
    runChild(folder.path());
    QCOMPARE(runChild(folder.path()), expectedLines);
    QCOMPARE(linesOf(contentOf(folder.filePath("log/log_250307.txt"))), expectedLines + expectedLines);
}

// The file line is lost, the console line is still written.
void TestLogger::logPathThatIsAFile()
{
    QTemporaryDir folder;
    QFile blocker(folder.filePath("log"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.write("not a folder");
    blocker.close();

    QCOMPARE(runChild(folder.path()), expectedLines);
    QCOMPARE(contentOf(folder.filePath("log")), QByteArray("not a folder"));
}

int main(int argc, char *argv[])
{
    if (argc >= 2 && qstrcmp(argv[1], childArgument) == 0)
        return runLoggerChild();
    QCoreApplication app(argc, argv);
    TestLogger test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logger.moc"
