#include "common/Clock.h"
#include "common/Global_Variables.h"
#include "dialogs/Dialog_InputsSetting.h"
#include "dialogs/Dialog_NewProject.h"
#include "dialogs/Dialog_OthersSetting.h"
#include "ScriptedPrompt.h"

#include <QCheckBox>
#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList comboItems(QComboBox *combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("1 1 0\n");
}

// Sends the window's close request the way the title bar's close button does.
bool closeFromTitleBar(QWidget *dialog)
{
    dialog->show();
    dialog->close();
    return dialog->isVisible();
}

} // namespace

class TestProjectSettings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void newProjectCreatesFolders();
    void newProjectRefusals_data();
    void newProjectRefusals();
    void newProjectRefusesAFolderHoldingAProject();
    void newProjectShowPreparesFields();
    void newProjectClosesOnlyThroughItsButtons();
    void newProjectFolderChooser();

    void sensorListsFollowFileNames();
    void sensorSetGetAndCancel();
    void sensorFolderMissingAsksThroughPrompt();

    void stepInitialStateAndEnableLink();
    void stepSetAndConfirm();
    void stepCancelKeepsEditedText();

private:
    QTemporaryDir tmp;
    ScriptedPrompt *prompt = nullptr;
};

void TestProjectSettings::init()
{
    prompt = new ScriptedPrompt;
    Clock::set(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 59)));
    QVERIFY(tmp.isValid());
}

void TestProjectSettings::cleanup()
{
    delete prompt;
    prompt = nullptr;
    Clock::reset();
    appDirPath.clear();
}

void TestProjectSettings::newProjectCreatesFolders()
{
    Dialog_NewProject dialog;
    dialog.findChild<QLineEdit *>("lineEdit_ProjectDir")->setText(tmp.path() + "/survey");
    dialog.findChild<QLineEdit *>("lineEdit_ProjectName")->setText("Proj01");
    dialog.findChild<QLineEdit *>("lineEdit_ProjectArea")->setText(QString::fromUtf8("北京Area1"));
    dialog.findChild<QDateEdit *>("dateEdit_ProjectTime")->setDate(QDate(2026, 1, 2));
    dialog.findChild<QLineEdit *>("lineEdit_OperatorName")->setText(QString::fromUtf8("张三"));
    QSignalSpy created(&dialog, &Dialog_NewProject::sigalNewProject);
    dialog.show();

    dialog.NewProject();

    QCOMPARE(prompt->count(), 0);
    QCOMPARE(created.count(), 1);
    const QString expected = tmp.path() + "/survey/Proj01/Proj01.HMT";
    QCOMPARE(created.at(0).at(0).toString(), expected);
    QCOMPARE(dialog.getProjectPath(), expected);
    QVERIFY(QDir(tmp.path() + "/survey/Proj01/data").exists());
    QVERIFY(!QFile::exists(expected)); // the dialog creates folders only
    QVERIFY(!dialog.isVisible());
    const ProjectConfig config = dialog.getProjectConfig();
    QCOMPARE(config.ProjectId, QString("AMT_2026_03_04_05_06"));
    QCOMPARE(config.ProjectName, QString("Proj01"));
    QCOMPARE(config.ProjectAddress, QString::fromUtf8("北京Area1"));
    QCOMPARE(config.ProjectDate, QDate(2026, 1, 2));
    QCOMPARE(config.OperatorName, QString::fromUtf8("张三"));
}

void TestProjectSettings::newProjectRefusals_data()
{
    QTest::addColumn<QString>("dir"); // relative to the temporary folder; "" stays empty
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("site");
    QTest::addColumn<QString>("operatorName");
    QTest::addColumn<QString>("message");
    const QString ok = QString::fromUtf8("工地");
    QTest::newRow("empty dir") << "" << "P" << ok << ok << QString::fromUtf8("工程目录不能为空，请填写正确的工程目录！");
    QTest::newRow("dir without parent") << "/no/such" << "P" << ok << ok << QString::fromUtf8("工程目录无法建立！");
    QTest::newRow("empty name") << "/d" << "" << ok << ok << QString::fromUtf8("工程名不能为空，请填写工程名! ");
    QTest::newRow("parent escape") << "/d" << "../x" << ok << ok << QString::fromUtf8("工程名只能由字母和数字组成！");
    QTest::newRow("sub folder") << "/d" << "a/b" << ok << ok << QString::fromUtf8("工程名只能由字母和数字组成！");
    QTest::newRow("space") << "/d" << "a b" << ok << ok << QString::fromUtf8("工程名只能由字母和数字组成！");
    QTest::newRow("26 characters") << "/d" << QString(26, 'a') << ok << ok
                                   << QString::fromUtf8("工程名只能由字母和数字组成！");
    QTest::newRow("empty site") << "/d" << "P" << "" << ok << QString::fromUtf8("工程地点不存在，请填写工程地点！");
    QTest::newRow("site punctuation") << "/d" << "P" << "a,b" << ok
                                      << QString::fromUtf8("工程地点只能由字母、数字和汉字组成！");
    QTest::newRow("empty operator") << "/d" << "P" << ok << "" << QString::fromUtf8("操作员姓名不存在，请填写操作员姓名！");
    QTest::newRow("operator space") << "/d" << "P" << ok << "a b"
                                    << QString::fromUtf8("操作员姓名只能由字母、数字和汉字组成！");
}

void TestProjectSettings::newProjectRefusals()
{
    QFETCH(QString, dir);
    QFETCH(QString, name);
    QFETCH(QString, site);
    QFETCH(QString, operatorName);
    QFETCH(QString, message);
    QTemporaryDir outer;
    const QString base = outer.path() + "/base";
    QVERIFY(QDir().mkdir(base));
    Dialog_NewProject dialog;
    dialog.findChild<QLineEdit *>("lineEdit_ProjectDir")->setText(dir.isEmpty() ? QString() : base + dir);
    dialog.findChild<QLineEdit *>("lineEdit_ProjectName")->setText(name);
    dialog.findChild<QLineEdit *>("lineEdit_ProjectArea")->setText(site);
    dialog.findChild<QLineEdit *>("lineEdit_OperatorName")->setText(operatorName);
    QSignalSpy created(&dialog, &Dialog_NewProject::sigalNewProject);
    dialog.show();

    dialog.NewProject();

    QCOMPARE(created.count(), 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Critical);
    QCOMPARE(prompt->last().title, QString::fromUtf8("参数错误"));
    QCOMPARE(prompt->last().text, message);
    QCOMPARE(dialog.getProjectPath(), QString());
    // Nothing was created beside the chosen folder.
    QCOMPARE(QDir(outer.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"base"}));
}

// A folder that already holds the project: nothing is made or opened, the operator is told and
// keeps what was typed for another name.
void TestProjectSettings::newProjectRefusesAFolderHoldingAProject()
{
    QVERIFY(QDir().mkpath(tmp.path() + "/again/P1/data"));
    touch(tmp.path() + "/again/P1/P1.HMT");
    Dialog_NewProject dialog;
    dialog.findChild<QLineEdit *>("lineEdit_ProjectDir")->setText(tmp.path() + "/again");
    dialog.findChild<QLineEdit *>("lineEdit_ProjectName")->setText("P1");
    dialog.findChild<QLineEdit *>("lineEdit_ProjectArea")->setText("site");
    dialog.findChild<QLineEdit *>("lineEdit_OperatorName")->setText("op");
    QSignalSpy created(&dialog, &Dialog_NewProject::sigalNewProject);
    dialog.show();

    dialog.NewProject();
    QCOMPARE(created.count(), 0);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.getProjectPath(), QString());
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Critical);
    const QString text = prompt->last().text;
    QVERIFY2(text.contains(QDir::toNativeSeparators(tmp.path() + "/again/P1/P1.HMT"))
                 && text.contains(QString::fromUtf8("请另选工程名")),
             qPrintable(text));
    QFile old(tmp.path() + "/again/P1/P1.HMT");
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll(), QByteArray("1 1 0\n"));

    dialog.findChild<QLineEdit *>("lineEdit_ProjectName")->setText("P2");
    dialog.NewProject();
    QCOMPARE(created.count(), 1);
    QCOMPARE(created.at(0).at(0).toString(), tmp.path() + "/again/P2/P2.HMT");
    QCOMPARE(dialog.getProjectConfig().ProjectAddress, QString("site"));
    QCOMPARE(dialog.getProjectConfig().OperatorName, QString("op"));
}

void TestProjectSettings::newProjectShowPreparesFields()
{
    Dialog_NewProject dialog;
    auto *dir = dialog.findChild<QLineEdit *>("lineEdit_ProjectDir");
    auto *name = dialog.findChild<QLineEdit *>("lineEdit_ProjectName");
    auto *site = dialog.findChild<QLineEdit *>("lineEdit_ProjectArea");
    name->setText("Old");
    site->setText("kept");
    QString shownDir, shownName;
    QDate shownDate;
    auto inspectAndCancel = [&] {
        shownDir = dir->text();
        shownName = name->text();
        shownDate = dialog.findChild<QDateEdit *>("dateEdit_ProjectTime")->date();
        dialog.findChild<QPushButton *>("btn_Cancel")->click();
    };
    QTimer::singleShot(0, &dialog, inspectAndCancel);
    dialog.newProjectDialogShow();
    QCOMPARE(shownDir, QCoreApplication::applicationDirPath());
    QCOMPARE(shownName, QString());
    QCOMPARE(shownDate, QDate(2026, 3, 4));
    QCOMPARE(site->text(), QString("kept"));

    dir->setText(tmp.path());
    QTimer::singleShot(0, &dialog, inspectAndCancel);
    dialog.newProjectDialogShow();
    QCOMPARE(shownDir, tmp.path());
    QCOMPARE(dialog.getProjectConfig().ProjectDate, QDate()); // cancel stored nothing
}

void TestProjectSettings::newProjectClosesOnlyThroughItsButtons()
{
    Dialog_NewProject dialog;
    QVERIFY(closeFromTitleBar(&dialog));
    dialog.realClose();
    QVERIFY(!dialog.isVisible());
    QVERIFY(closeFromTitleBar(&dialog)); // the cancel used the flag up
}

void TestProjectSettings::newProjectFolderChooser()
{
    Dialog_NewProject dialog;
    auto *dir = dialog.findChild<QLineEdit *>("lineEdit_ProjectDir");
    dir->setText("before");
    prompt->expectCancel();
    dialog.selectProjectDir();
    QCOMPARE(dir->text(), QString("before"));
    QCOMPARE(prompt->last().kind, PromptRequest::Directory);
    QCOMPARE(prompt->last().text, QString::fromUtf8("选择工程文件夹"));
    prompt->expectText(tmp.path());
    dialog.selectProjectDir();
    QCOMPARE(dir->text(), tmp.path());
}

void TestProjectSettings::sensorListsFollowFileNames()
{
    const QString folder = tmp.path() + "/InputCalibration";
    QVERIFY(QDir().mkpath(folder + "/ICMS_dir.txt"));
    for (const char *name : {"ICMS01.txt", "IMFS2.TXT", "E1.txt", "e2.txt", "ICMS_E.txt", "notes.TXT", "readme.md",
                             ".ICMS_hidden.txt"})
        touch(folder + "/" + name);
    QVERIFY(QFile::link(folder + "/ICMS01.txt", folder + "/ICMS_link.txt"));
    appDirPath = tmp.path();

    Dialog_InputsSetting dialog;
    const QStringList coils = {QString::fromUtf8("未设置"), "ICMS01", "ICMS_E", "IMFS2"};
    const QStringList electrodes = {QString::fromUtf8("未设置"), "E1", "ICMS_E"};
    QCOMPARE(comboItems(dialog.findChild<QComboBox *>("comboBox_HxInputNum")), coils);
    QCOMPARE(comboItems(dialog.findChild<QComboBox *>("comboBox_HyInputNum")), coils);
    for (const char *name : {"comboBox_E0InputNum", "comboBox_E1InputNum", "comboBox_E2InputNum"})
        QCOMPARE(comboItems(dialog.findChild<QComboBox *>(name)), electrodes);
    QCOMPARE(prompt->count(), 0);
    QVERIFY(dialog.findChild<QComboBox *>("comboBox_HxInputNum")->view()->window()->windowFlags()
            == (Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint));
}

void TestProjectSettings::sensorSetGetAndCancel()
{
    const QString folder = tmp.path() + "/InputCalibration";
    QVERIFY(QDir().mkpath(folder));
    for (const char *name : {"ICMS01.txt", "IMFS2.TXT", "E1.txt"})
        touch(folder + "/" + name);
    appDirPath = tmp.path();
    Dialog_InputsSetting dialog;
    QCOMPARE(dialog.getChannelInputsConfig().E2InputNum, QString::fromUtf8("未设置"));

    QSignalSpy emitted(&dialog, &Dialog_InputsSetting::signalChannelInputsConfig);
    dialog.setChannelInputsConfig({"IMFS2", "gone", "E1", "E1", "E1"});
    QCOMPARE(emitted.count(), 1);
    const auto sent = emitted.at(0).at(0).value<ChannelInputsConfig>();
    QCOMPARE(sent.HyInputNum, QString("gone"));
    auto *hx = dialog.findChild<QComboBox *>("comboBox_HxInputNum");
    auto *hy = dialog.findChild<QComboBox *>("comboBox_HyInputNum");
    QCOMPARE(hx->currentText(), QString("IMFS2"));
    QCOMPARE(hy->currentText(), QString::fromUtf8("未设置"));

    // An abandoned choice: nothing emitted, stored record unchanged until read again.
    QTimer::singleShot(0, &dialog, [&] {
        hx->setCurrentText("ICMS01");
        dialog.findChild<QPushButton *>("pushButton_Cancel")->click();
    });
    dialog.inputsSettingDialogShow();
    QCOMPARE(emitted.count(), 1);
    QTimer::singleShot(0, &dialog, [&] { dialog.findChild<QPushButton *>("pushButton_Cancel")->click(); });
    dialog.inputsSettingDialogShow(); // reselects the stored names
    QCOMPARE(hx->currentText(), QString("IMFS2"));

    QTimer::singleShot(0, &dialog, [&] {
        hx->setCurrentText("ICMS01");
        dialog.findChild<QPushButton *>("pushButton_Sure")->click();
    });
    dialog.inputsSettingDialogShow();
    QCOMPARE(emitted.count(), 2);
    QCOMPARE(emitted.at(1).at(0).value<ChannelInputsConfig>().HxInputNum, QString("ICMS01"));
    QCOMPARE(emitted.at(1).at(0).value<ChannelInputsConfig>().HyInputNum, QString::fromUtf8("未设置"));
    QVERIFY(closeFromTitleBar(&dialog));
}

void TestProjectSettings::sensorFolderMissingAsksThroughPrompt()
{
    appDirPath = tmp.path() + "/nothing";
    Dialog_InputsSetting dialog;
    QCOMPARE(prompt->count(), 1);
    QCOMPARE(prompt->last().kind, PromptRequest::Critical);
    QCOMPARE(prompt->last().title, QString::fromUtf8("提醒"));
    QCOMPARE(prompt->last().text,
             QString::fromUtf8("存放仪器校验文件的目录未找到！路径为%1。").arg(tmp.path() + "/nothing/InputCalibration"));
    QCOMPARE(comboItems(dialog.findChild<QComboBox *>("comboBox_E0InputNum")), QStringList(QString::fromUtf8("未设置")));
}

void TestProjectSettings::stepInitialStateAndEnableLink()
{
    Dialog_OthersSetting dialog;
    auto *step = dialog.findChild<QLineEdit *>();
    auto *box = dialog.findChild<QCheckBox *>();
    QCOMPARE(step->text(), QString("25"));
    QVERIFY(!step->isEnabled());
    QVERIFY(!box->isChecked());
    const StationNumAutoConfig config = dialog.getStationNumAutoConfig();
    QCOMPARE(config.StationNumAutoStepSize, 25.0);
    QCOMPARE(config.StationNumAutoEnable, false);
    box->setChecked(true);
    QVERIFY(step->isEnabled());
    box->setChecked(false);
    QVERIFY(!step->isEnabled());
    int pos = 0;
    QString letter = "1a", point = "1.";
    QCOMPARE(step->validator()->validate(letter, pos), QValidator::Invalid);
    QCOMPARE(step->validator()->validate(point, pos), QValidator::Invalid);
    QVERIFY(closeFromTitleBar(&dialog));
}

void TestProjectSettings::stepSetAndConfirm()
{
    Dialog_OthersSetting dialog;
    QSignalSpy emitted(&dialog, &Dialog_OthersSetting::signalStationNumAutoConfig);
    dialog.setStationNumAutoConfig({12.5, true});
    auto *step = dialog.findChild<QLineEdit *>();
    QCOMPARE(step->text(), QString("12.5"));
    QVERIFY(step->isEnabled());
    QCOMPARE(emitted.count(), 1);
    QCOMPARE(emitted.at(0).at(0).value<StationNumAutoConfig>().StationNumAutoStepSize, 12.5);
    dialog.show();
    dialog.confirm();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(emitted.count(), 2);
    QCOMPARE(emitted.at(1).at(0).value<StationNumAutoConfig>().StationNumAutoStepSize, 12.5);
    QVERIFY(emitted.at(1).at(0).value<StationNumAutoConfig>().StationNumAutoEnable);

    step->clear();
    dialog.confirm();
    QCOMPARE(emitted.at(2).at(0).value<StationNumAutoConfig>().StationNumAutoStepSize, 0.0);
}

void TestProjectSettings::stepCancelKeepsEditedText()
{
    Dialog_OthersSetting dialog;
    QSignalSpy emitted(&dialog, &Dialog_OthersSetting::signalStationNumAutoConfig);
    auto *step = dialog.findChild<QLineEdit *>();
    QTimer::singleShot(0, &dialog, [&] {
        step->setText("40");
        dialog.realClose();
    });
    dialog.othersSettingDialogShow();
    QCOMPARE(emitted.count(), 0);
    QCOMPARE(step->text(), QString("40"));
    QTimer::singleShot(0, &dialog, [&] { dialog.confirm(); });
    dialog.othersSettingDialogShow();
    QCOMPARE(emitted.count(), 1);
    QCOMPARE(emitted.at(0).at(0).value<StationNumAutoConfig>().StationNumAutoStepSize, 40.0);
}

QTEST_MAIN(TestProjectSettings)
#include "tst_project_settings.moc"
