#include "RunFixture.h"
#include "TestFiles.h"

#include "projectdata/ProjectJournal.h"

#include <QDirIterator>
#include <QStorageInfo>
#include <QtTest>

#include <cerrno>
#include <cstring>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A small file system of its own over a folder, its contents carried over; unmounted when the
// object goes, also when a check failed on the way.
class SmallDisk
{
public:
    SmallDisk(const QString &folder, int kib)
        : folder(folder)
    {
        if (geteuid() != 0) {
            refusal = "mounting a file system needs root";
            return;
        }
        const QString aside = folder + ".aside";
        if (!QDir().rename(folder, aside) || !QDir().mkpath(folder)) {
            refusal = "cannot move the folder aside";
            return;
        }
        const QByteArray options = "size=" + QByteArray::number(kib) + "k";
        if (::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, options.constData()) != 0) {
            refusal = QString("mount -t tmpfs failed: ") + std::strerror(errno);
            QDir(folder).removeRecursively();
            QDir().rename(aside, folder);
            return;
        }
        mounted = true;
        copyTree(aside, folder);
        QDir(aside).removeRecursively();
    }
    ~SmallDisk()
    {
        if (!mounted)
            return;
        // A connection still open on it keeps it busy: then it goes once that closes.
        if (::umount2(QFile::encodeName(folder).constData(), 0) != 0)
            ::umount2(QFile::encodeName(folder).constData(), MNT_DETACH);
    }
    bool setReadOnly(bool readOnly)
    {
        const unsigned long flags = MS_REMOUNT | (readOnly ? MS_RDONLY : 0);
        return ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", flags, nullptr) == 0;
    }
    // Writes a filler file so that about bytes stay free; false when that much is not free.
    bool leaveFree(qint64 bytes)
    {
        QFile filler(folder + "/filler");
        if (!filler.open(QIODevice::WriteOnly))
            return false;
        const qint64 fill = QStorageInfo(folder).bytesAvailable() - bytes;
        const QByteArray block(4096, 'f');
        for (qint64 written = 0; written < fill; written += block.size()) {
            if (filler.write(block.constData(), qMin<qint64>(block.size(), fill - written)) < 0 || !filler.flush())
                break;
        }
        return fill >= 0;
    }
    void removeFiller() { QFile::remove(folder + "/filler"); }

    QString folder;
    QString refusal;
    bool mounted = false;

private:
    static void copyTree(const QString &from, const QString &to)
    {
        QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo info(it.next());
            const QString target = to + "/" + QDir(from).relativeFilePath(info.filePath());
            if (info.isDir())
                QDir().mkpath(target);
            else
                QFile::copy(info.filePath(), target);
        }
    }
};

QString tables(const RunFixture &f)
{
    return f.sql("SELECT * FROM Data_Line; SELECT * FROM Data_Station; SELECT * FROM Data_SampleData;"
                 " SELECT ID, Data_SampleDataID, SampleChannel FROM Data_ProcessData;");
}

// Every recording of the fixture's runs ("Hx,E0,E1") has its two curves, and no curve is left
// without its recording.
QString strayCurves(const RunFixture &f)
{
    return f.sql("SELECT 'recording ' || ID || ': ' || (SELECT count(*) FROM Data_ProcessData p"
                 " WHERE p.Data_SampleDataID = d.ID) || ' curves' FROM Data_SampleData d"
                 " WHERE (SELECT count(*) FROM Data_ProcessData p WHERE p.Data_SampleDataID = d.ID) != 2;"
                 " SELECT 'curve ' || ID || ' of no recording' FROM Data_ProcessData"
                 " WHERE Data_SampleDataID NOT IN (SELECT ID FROM Data_SampleData);");
}

// A refusal for lack of room says so in the system's or the database's words, or in our own.
bool namesAFullDisk(const QString &said)
{
    return !said.contains("Unknown error")
           && (said.contains("No space left on device") || said.contains("database or disk is full")
               || said.contains(QString::fromUtf8("磁盘空间不足")));
}

bool save(RunFixture &f, int group, QString *reason)
{
    if (!f.record(RunFixture::task(1, "Hx,E0,E1"), group))
        return false;
    StationSampleInfo record = f.station();
    return f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, reason);
}

// The fixture's project with one run saved, then moved onto a small disk of its own; closed
// before the disk goes.
class ProjectOnSmallDisk
{
public:
    explicit ProjectOnSmallDisk(int kib)
        : disk(firstSavedAndClosed(f), kib)
    {
    }
    ~ProjectOnSmallDisk() { f.tree.reset(); }
    bool firstSaved = false;
    RunFixture f;
    SmallDisk disk;

private:
    QString firstSavedAndClosed(RunFixture &fixture)
    {
        QString reason;
        firstSaved = save(fixture, 1, &reason);
        fixture.tree.reset();
        return fixture.projectDir();
    }
};

#define MOUNT_OR_SKIP(project)                                                                                         \
    do {                                                                                                               \
        QVERIFY((project).firstSaved);                                                                                 \
        if (!(project).disk.mounted)                                                                                   \
            QSKIP(qPrintable("no small file system to test on: " + (project).disk.refusal));                         \
    } while (false)

// Fills the small disk once a save has begun, after its checks.
SmallDisk *diskToFill = nullptr;
qint64 bytesLeftFree = 0;

void fillWhenBegun(const char *step)
{
    if (diskToFill && qstrcmp(step, "begun") == 0) {
        diskToFill->leaveFree(bytesLeftFree);
        diskToFill = nullptr;
    }
}

} // namespace

class TestMedium : public QObject
{
    Q_OBJECT

private slots:
    void diskFullDuringASave();
    void diskFullDuringARename();
    void fullDiskIsNamedBeforeAChange();
    void conversionOnAReadOnlyProject();
    void changeCutOffOnAReadOnlyMedium_data();
    void changeCutOffOnAReadOnlyMedium();
};

// The disk fills while a save runs, at every level a save passes through: a failed save leaves
// the database as before, with no curve of its own committed, and says why; the next save of
// the run, once there is room, stores exactly its own curves.
void TestMedium::diskFullDuringASave()
{
    ProjectOnSmallDisk project(2048);
    MOUNT_OR_SKIP(project);
    RunFixture &f = project.f;
    SmallDisk &disk = project.disk;
    QString reason;
    QVERIFY(f.open());
    ProjectJournal::setStepHook(fillWhenBegun);
    int failed = 0;
    for (qint64 free = 0; free <= 96 * 1024; free += 2048) {
        const QString before = tables(f);
        const QStringList files = f.listing(f.dataDir());
        diskToFill = &disk;
        bytesLeftFree = free;
        reason.clear();
        const bool saved = save(f, 2 + int(free / 2048), &reason);
        disk.removeFiller();
        QCOMPARE(f.sql("PRAGMA integrity_check"), QString("ok"));
        QVERIFY2(strayCurves(f).isEmpty(), qPrintable(QString("%1 bytes free: %2").arg(free).arg(strayCurves(f))));
        if (saved)
            continue;
        ++failed;
        QVERIFY2(namesAFullDisk(reason), qPrintable(QString("%1 bytes free: %2").arg(free).arg(reason)));
        QCOMPARE(tables(f), before);
        QCOMPARE(f.listing(f.dataDir()), files);
        StationSampleInfo record = f.station();
        QVERIFY2(f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), qPrintable(reason));
        QVERIFY2(strayCurves(f).isEmpty(), qPrintable(QString("%1 bytes free: %2").arg(free).arg(strayCurves(f))));
    }
    ProjectJournal::setStepHook(nullptr);
    QVERIFY2(failed > 0, "the disk never filled during a save");
    QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
}

// The disk fills while a station is renamed: the rename is refused with the reason and changes
// nothing, until there is room.
void TestMedium::diskFullDuringARename()
{
    ProjectOnSmallDisk project(2048);
    MOUNT_OR_SKIP(project);
    RunFixture &f = project.f;
    SmallDisk &disk = project.disk;
    QVERIFY(f.open());
    ProjectJournal::setStepHook(fillWhenBegun);
    bool renamed = false;
    int failed = 0;
    const QString config = f.dataDir() + "/Line 5/Station 100/config.ini";
    for (qint64 free = 0; !renamed && free <= 32 * 1024; free += 4096) {
        const QString before = tables(f);
        const QStringList files = f.listing(f.dataDir());
        const QByteArray configBefore = TestFiles::read(config);
        diskToFill = &disk;
        bytesLeftFree = free;
        renamed = f.renameFirst(true, 130);
        disk.removeFiller();
        if (renamed)
            break;
        const QString said = f.prompt.last().text;
        QVERIFY2(namesAFullDisk(said), qPrintable(QString("%1 bytes free: %2").arg(free).arg(said)));
        QCOMPARE(TestFiles::read(config), configBefore);
        QCOMPARE(tables(f), before);
        QCOMPARE(f.listing(f.dataDir()), files);
        ++failed;
    }
    ProjectJournal::setStepHook(nullptr);
    QVERIFY2(failed > 0, "the disk never filled during a rename");
    QVERIFY(renamed || f.renameFirst(true, 130));
    QCOMPARE(f.sql("SELECT StationNum FROM Data_Station"), QString("130.0"));
    QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
}

// Too little room for a save or a rename: refused before anything is written, with the figures.
void TestMedium::fullDiskIsNamedBeforeAChange()
{
    ProjectOnSmallDisk project(4096);
    MOUNT_OR_SKIP(project);
    RunFixture &f = project.f;
    SmallDisk &disk = project.disk;
    QString reason;
    QVERIFY(f.open());
    QVERIFY(disk.leaveFree(512 * 1024));
    const QString before = tables(f);
    const QStringList files = f.listing(f.projectDir());

    QVERIFY(!save(f, 2, &reason));
    QVERIFY2(reason.contains("磁盘空间不足") && reason.contains("KiB"), qPrintable(reason));
    QCOMPARE(f.tree->getTempSamples().size(), 1);
    QVERIFY(!f.renameFirst(true, 130));
    QVERIFY2(f.prompt.last().text.contains("磁盘空间不足"), qPrintable(f.prompt.last().text));
    QCOMPARE(tables(f), before);
    QCOMPARE(f.listing(f.projectDir()), files);

    disk.removeFiller();
    StationSampleInfo record = f.station();
    QVERIFY2(f.tree->saveStationTempSampleData(record, StationNumAutoConfig{}, 0, &reason), qPrintable(reason));
}

// A conversion whose writes all fail says so, and the curves stay as they were.
void TestMedium::conversionOnAReadOnlyProject()
{
    ProjectOnSmallDisk project(2048);
    MOUNT_OR_SKIP(project);
    RunFixture &f = project.f;
    SmallDisk &disk = project.disk;
    QVERIFY(disk.setReadOnly(true));
    QVERIFY(f.open());
    const QString before = tables(f);
    QVERIFY(before.contains("|1\n"));

    QVERIFY(!f.tree->convertLineDirectionYToX(0));
    QVERIFY2(!f.prompt.last().text.contains("成功"), qPrintable(f.prompt.last().text));
    QVERIFY2(f.prompt.last().text.contains("readonly"), qPrintable(f.prompt.last().text));
    QCOMPARE(tables(f), before);
}

void TestMedium::changeCutOffOnAReadOnlyMedium_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("step");
    QTest::addColumn<bool>("opens");
    // SQLite had written into the database: it cannot be read before its journal is played back.
    QTest::newRow("database written") << "spill" << "" << false;
    // The save had copied its files: the database reads as before, the files wait for the recovery.
    QTest::newRow("files copied") << "save" << "synced" << true;
}

// A program killed during a change; the medium is then read-only. The operator is told that the
// change was cut off and where to open the project, and nothing there is touched. Opened where it
// can be written, the project is as before the change.
void TestMedium::changeCutOffOnAReadOnlyMedium()
{
    QFETCH(QString, change);
    QFETCH(QString, step);
    QFETCH(bool, opens);
    ProjectOnSmallDisk project(2048);
    MOUNT_OR_SKIP(project);
    RunFixture &f = project.f;
    SmallDisk &disk = project.disk;
    const QString before = tables(f);
    {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        child.start(HOLDING_CHILD, {f.root, change, step});
        QVERIFY(child.waitForReadyRead(60000));
        child.kill();
        QVERIFY(child.waitForFinished(60000));
    }
    QVERIFY(disk.setReadOnly(true));
    const QStringList files = f.listing(f.projectDir());

    QCOMPARE(f.open(), opens);
    const QString said = f.prompt.last().text;
    QVERIFY2(said.contains("被中断") && said.contains("可写入的位置") && said.contains("没有丢失"), qPrintable(said));
    QVERIFY2(!said.contains("不是工程数据库"), qPrintable(said));
    QCOMPARE(f.listing(f.projectDir()), files);

    f.tree.reset();
    QVERIFY(disk.setReadOnly(false));
    QVERIFY(f.open());
    QCOMPARE(tables(f), before);
    QVERIFY(!QFileInfo::exists(ProjectJournal::pathIn(f.projectDir())));
}

QTEST_MAIN(TestMedium)
#include "tst_medium.moc"
