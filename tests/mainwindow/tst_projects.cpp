#include "AppFolder.h"
#include "ProjectBuilder.h"
#include "ScriptedPrompt.h"

#include "dialogs/Dialog_NewProject.h"
#include "mainwindow/MainWindow.h"
#include "shell/chrome/QtMaterialSnackbar.h"
#include "store/LibHORM.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTabBar>
#include <QToolButton>
#include <QtTest>

namespace {

// A project folder with its database: the tables and the project row.
QString makeProject(const QString &root, const QString &name)
{
    const QString folder = root + "/" + name;
    QDir().mkpath(folder);
    const QString path = folder + "/" + name + ".HMT";
    LibHORM store;
    store.openSqlite(path);
    ProjectBuilder builder(store);
    return path;
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
}

QStringList listed(const MainWindow &window)
{
    auto *list = window.findChild<QListWidget *>("recentProjectList");
    QStringList paths;
    for (int row = 0; row < list->count(); ++row)
        paths << list->item(row)->text();
    return paths;
}

QStringList notices(const MainWindow &window)
{
    return window.findChild<QtMaterialSnackbar *>()->messages();
}

} // namespace

class TestProjects : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openPutsTheProjectFirstAndKeepsTen();
    void newProjectIsCreatedAndOpened();
    void missingRecentFileLeavesTheList();
    void doubleClickOpensOnce();
    void titleNamesOnlyTheOpenProject();
    void unopenableFileIsDroppedAndReported_data();
    void unopenableFileIsDroppedAndReported();
    void closingTheProgram_data();
    void closingTheProgram();
    void tempFileLinksAreNotFollowed();
    void lastStationField_data();
    void lastStationField();

private:
    std::unique_ptr<AppFolder> folder;
    std::unique_ptr<ScriptedPrompt> prompt;
};

void TestProjects::init()
{
    folder = std::make_unique<AppFolder>();
    prompt = std::make_unique<ScriptedPrompt>();
}

void TestProjects::cleanup()
{
    prompt.reset();
    folder.reset();
}

void TestProjects::openPutsTheProjectFirstAndKeepsTen()
{
    QStringList paths;
    for (int i = 0; i < 11; ++i)
        paths << makeProject(folder->path(), QStringLiteral("p%1").arg(i));
    MainWindow window;
    QSignalSpy opened(&window, &MainWindow::projOpened);
    for (const QString &path : paths) {
        window.openProject(path);
        QCOMPARE(window.windowTitle(), QStringLiteral("Velkor -- ") + path);
        window.onSlotCloseProjectAction();
    }
    QCOMPARE(opened.count(), 11);
    QStringList expected;
    for (int i = 10; i >= 1; --i)
        expected << paths.at(i);
    QCOMPARE(listed(window), expected);

    window.openProject(paths.at(4));
    expected.removeOne(paths.at(4));
    expected.prepend(paths.at(4));
    QCOMPARE(listed(window), expected);
    QVERIFY(notices(window).contains(paths.at(4) + "\n工程已经打开！"));
}

// The new-project dialog prepares the folders; the window creates the database in them.
void TestProjects::newProjectIsCreatedAndOpened()
{
    MainWindow window;
    Dialog_NewProject *dialog = nullptr;
    for (QWidget *widget : QApplication::topLevelWidgets())
        dialog = dialog ? dialog : qobject_cast<Dialog_NewProject *>(widget);
    QVERIFY(dialog);
    QSignalSpy opened(&window, &MainWindow::projOpened);
    dialog->findChild<QLineEdit *>("lineEdit_ProjectDir")->setText(folder->path());
    dialog->findChild<QLineEdit *>("lineEdit_ProjectName")->setText("Survey1");
    dialog->findChild<QLineEdit *>("lineEdit_ProjectArea")->setText("Hill");
    dialog->findChild<QLineEdit *>("lineEdit_OperatorName")->setText("Li");
    dialog->findChild<QPushButton *>("btn_Confirm")->click();

    const QString path = folder->path() + "/Survey1/Survey1.HMT";
    QCOMPARE(opened.count(), 1);
    QCOMPARE(prompt->count(), 0);
    QVERIFY(QFileInfo(path).isFile());
    QCOMPARE(listed(window), QStringList{path});
    QSettings config(folder->path() + "/Survey1/projectConfig.ini", QSettings::IniFormat);
    QVERIFY2(config.allKeys().join(' ').contains("ProjectName"), qPrintable(config.allKeys().join(' ')));
}

void TestProjects::missingRecentFileLeavesTheList()
{
    const QString path = makeProject(folder->path(), "gone");
    QSettings(folder->settingsFile(), QSettings::IniFormat).setValue("RecentOpenProjectPath1", path);
    MainWindow window;
    QSignalSpy opened(&window, &MainWindow::projOpened);
    QCOMPARE(listed(window), QStringList{path});
    QVERIFY(QFile::remove(path));

    auto *list = window.findChild<QListWidget *>("recentProjectList");
    emit list->itemClicked(list->item(0));
    QCOMPARE(listed(window), QStringList());
    QCOMPARE(notices(window), QStringList{"此工程路径不存在，请核实路径或打开其他工程！"});
    QCOMPARE(opened.count(), 0);
}

void TestProjects::doubleClickOpensOnce()
{
    const QString path = makeProject(folder->path(), "twice");
    QSettings(folder->settingsFile(), QSettings::IniFormat).setValue("RecentOpenProjectPath1", path);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.findChild<QTabBar *>("tabBar")->setCurrentIndex(0);
    auto *list = window.findChild<QListWidget *>("recentProjectList");
    QSignalSpy opened(&window, &MainWindow::projOpened);
    const QPoint spot = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, spot);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, spot);
    // A delivery the list still made once the project is open.
    emit list->itemDoubleClicked(list->item(0));
    QCOMPARE(opened.count(), 1);
    QVERIFY(notices(window).contains("工程已经打开,请关闭当前工程再操作！"));
    QCOMPARE(listed(window), QStringList{path});
}

// Once the project is closed, and after a recent project failed to open, the title names none.
void TestProjects::titleNamesOnlyTheOpenProject()
{
    const QString good = makeProject(folder->path(), "good");
    const QString bad = folder->path() + "/bad.HMT";
    writeFile(bad, QByteArray(4096, 'x'));
    MainWindow window;
    window.openProject(good);
    QCOMPARE(window.windowTitle(), QStringLiteral("Velkor -- ") + good);
    window.onSlotCloseProjectAction();
    QCOMPARE(window.windowTitle(), QStringLiteral("Velkor"));

    window.updateRecentProjectList({bad});
    auto *list = window.findChild<QListWidget *>("recentProjectList");
    emit list->itemClicked(list->item(0));
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(window.windowTitle(), QStringLiteral("Velkor"));
}

void TestProjects::unopenableFileIsDroppedAndReported_data()
{
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("title");
    QTest::newRow("not a database") << true << "提示";
    QTest::newRow("missing") << false << "出错";
}

// One box says why; the folder stays as it was, and a good project opens afterwards.
void TestProjects::unopenableFileIsDroppedAndReported()
{
    QFETCH(bool, present);
    QFETCH(QString, title);
    const QString dir = folder->path() + "/bad";
    QDir().mkpath(dir);
    const QString path = dir + "/bad.HMT";
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 37 + 11) & 0xff));
    if (present)
        writeFile(path, garbage);

    MainWindow window;
    QSignalSpy opened(&window, &MainWindow::projOpened);
    window.openProject(path);
    QCOMPARE(opened.count(), 0);
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().title, title);
    QVERIFY2(prompt->last().text.contains(QDir::toNativeSeparators(path)), qPrintable(prompt->last().text));
    QCOMPARE(window.windowTitle(), QStringLiteral("Velkor"));
    QCOMPARE(listed(window), QStringList());
    const QStringList entries = QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QCOMPARE(entries, present ? QStringList{"bad.HMT"} : QStringList());
    if (present)
        QCOMPARE(contents(path), garbage);

    const QString good = makeProject(folder->path(), "good");
    window.openProject(good);
    QCOMPARE(opened.count(), 1);
}

void TestProjects::closingTheProgram_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<bool>("byWindowManager");
    QTest::newRow("是") << true << false;
    QTest::newRow("否") << false << false;
    QTest::newRow("window manager, 是") << true << true;
    QTest::newRow("window manager, 否") << false << true;
}

// "是" saves the settings and empties "TempFile" but for its hidden entries; "否" touches nothing.
// A close from the window manager (Alt+F4, a logout) asks the same.
void TestProjects::closingTheProgram()
{
    QFETCH(bool, yes);
    QFETCH(bool, byWindowManager);
    const QString temp = folder->path() + "/TempFile";
    QDir().mkpath(temp + "/sub/deeper");
    writeFile(temp + "/a.ats", "1234");
    writeFile(temp + "/sub/deeper/b.txt", "x");
    writeFile(temp + "/.hidden", "h");

    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QByteArray settingsBefore = contents(folder->settingsFile());
    QVERIFY(!settingsBefore.isEmpty());
    ChannelInputsConfig inputs;
    inputs.HxInputNum = "coil-9";
    window.onSlotChannelInputsConfig(inputs);
    if (yes)
        prompt->expectYes();
    // A second close from the window manager while the first waits asks nothing more.
    if (byWindowManager) {
        window.close();
        window.close();
    } else
        window.onClickBtnClose();

    QTRY_COMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().title, QStringLiteral("温馨提示"));
    QCOMPARE(prompt->last().text, QStringLiteral("请确认是否要关闭程序?"));
    const QStringList left = QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    if (yes) {
        QCOMPARE(left, QStringList{".hidden"});
        QVERIFY(!window.isVisible());
        QCOMPARE(QSettings(folder->settingsFile(), QSettings::IniFormat).value("SystemConfig/HxInputNum").toString(),
                 QStringLiteral("coil-9"));
    } else {
        QCOMPARE(left, QStringList({".hidden", "a.ats", "sub"}));
        QVERIFY(window.isVisible());
        QCOMPARE(contents(folder->settingsFile()), settingsBefore);
    }
}

// Nothing outside the application folder goes, whether "TempFile" is a link or holds one.
void TestProjects::tempFileLinksAreNotFollowed()
{
    QTemporaryDir elsewhere;
    writeFile(elsewhere.filePath("keep.txt"), "k");
    QVERIFY(QFile::link(elsewhere.path(), folder->path() + "/TempFile"));
    {
        MainWindow window;
        prompt->expectYes();
        window.onClickBtnClose();
    }
    QVERIFY(QFile::exists(elsewhere.filePath("keep.txt")));

    QVERIFY(QFile::remove(folder->path() + "/TempFile"));
    QVERIFY(QDir().mkpath(folder->path() + "/TempFile"));
    QVERIFY(QFile::link(elsewhere.path(), folder->path() + "/TempFile/inside"));
    MainWindow window;
    prompt->expectYes();
    window.onClickBtnClose();
    QVERIFY(QDir(folder->path() + "/TempFile").isEmpty(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
    QVERIFY(QFile::exists(elsewhere.filePath("keep.txt")));
}

void TestProjects::lastStationField_data()
{
    QTest::addColumn<double>("station");
    QTest::addColumn<bool>("step");
    QTest::addColumn<QString>("shown");
    QTest::newRow("no step") << 120.0 << false << "120";
    QTest::newRow("step") << 120.0 << true << "145";
    QTest::newRow("stepped above six digits") << 999999.5 << true << "100002";
    QTest::newRow("negative beyond six digits") << -1000005.0 << false << "-100000";
}

void TestProjects::lastStationField()
{
    QFETCH(double, station);
    QFETCH(bool, step);
    QFETCH(QString, shown);
    MainWindow window;
    StationNumAutoConfig config;
    config.StationNumAutoEnable = step;
    config.StationNumAutoStepSize = 25;
    window.onSlotSetStationNumAutoConfig(config);
    window.onSlotLoadLastLineStationNum(7, station);
    QCOMPARE(window.findChild<QLineEdit *>("lineEdit_LineNum")->text(), QStringLiteral("7"));
    QCOMPARE(window.findChild<QLineEdit *>("lineEdit_StationNum")->text(), shown);
}

QTEST_MAIN(TestProjects)
#include "tst_projects.moc"
