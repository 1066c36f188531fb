#include "ScriptedPrompt.h"

#include "common/Clock.h"
#include "common/Global_Constants.h"
#include "common/Global_Variables.h"
#include "dialogs/CutTexts.h"
#include "dialogs/Dialog_InputsSetting.h"
#include "dialogs/Dialog_NewProject.h"
#include "dialogs/Dialog_SampleTask.h"
#include "shell/StyleSheetPreprocessor.h"
#include "shell/StyleSheetTheme.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDateEdit>
#include <QFile>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyleOptionSpinBox>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// The screens the two themes are made for: the main window's 1050 x 650 and 1200 x 680 sit on
// the first, its 1900 x 1000 on the second.
const QSize smallScreen(1366, 768);
const QSize largeScreen(1920, 1080);

void applyTheme(QSize screen)
{
    StyleSheetPreprocessor preprocessor(QStringLiteral(":/qss"));
    preprocessor.defineVariable(QStringLiteral("$Theme"), themeForScreen(QRect(QPoint(0, 0), screen)));
    qApp->setStyleSheet(preprocessor.process(QStringLiteral("style.css")));
}

void addScreens()
{
    QTest::addColumn<QSize>("screen");
    QTest::newRow("1366x768") << smallScreen;
    QTest::newRow("1920x1080") << largeScreen;
}

// Whether the rectangle's inside (clear of its edges, where frames and separators run) holds a
// shape clearly darker than a button face across at least three rows and three columns.
bool glyphIn(const QImage &image, const QRect &rect)
{
    const QRect inside = rect.adjusted(2, 2, -2, -2);
    QSet<int> rows;
    QSet<int> columns;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        for (int x = inside.left(); x <= inside.right(); ++x) {
            if (!image.valid(x, y) || qGray(image.pixel(x, y)) >= 160)
                continue;
            rows << y;
            columns << x;
        }
    }
    return rows.size() >= 3 && columns.size() >= 3;
}

QRect spinButton(const QAbstractSpinBox *box, QStyle::SubControl button)
{
    QStyleOptionSpinBox option;
    option.initFrom(box);
    option.frame = box->hasFrame();
    option.buttonSymbols = box->buttonSymbols();
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown | QStyle::SC_SpinBoxFrame
                         | QStyle::SC_SpinBoxEditField;
    option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
    return box->style()->subControlRect(QStyle::CC_SpinBox, &option, button, box);
}

} // namespace

// The dialogs as the program shows them, under its style sheet in both themes: every text whole
// at the dialog's own size, measured in the rendered widgets.
class TestStyledForms : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void sensorNamesWhole_data();
    void sensorNamesWhole();
    void taskTableShowsTasksWhole_data();
    void taskTableShowsTasksWhole();
    void spinBoxesDrawArrows_data();
    void spinBoxesDrawArrows();

private:
    QTemporaryDir appFolder;
    std::unique_ptr<ScriptedPrompt> prompt;
};

void TestStyledForms::init()
{
    prompt = std::make_unique<ScriptedPrompt>();
    Clock::set(QDateTime(QDate(2024, 5, 6), QTime(10, 0, 20), Qt::UTC));
    appDirPath = appFolder.path();
}

void TestStyledForms::cleanup()
{
    qApp->setStyleSheet(QString());
    Clock::reset();
    prompt.reset();
}

void TestStyledForms::sensorNamesWhole_data()
{
    addScreens();
}

// Serial numbers are longer than the demo names; the longest must show whole, chosen and listed.
void TestStyledForms::sensorNamesWhole()
{
    QFETCH(QSize, screen);
    applyTheme(screen);
    const QString folder = appFolder.filePath("InputCalibration");
    QVERIFY(QDir().mkpath(folder));
    const QStringList names = {"Demo-Electrode", "Demo-IMFS-Coil", "E-PbCl2-2024-0613-17", "IMFS-07-2231-0815-A"};
    for (const QString &name : names) {
        QFile table(folder + "/" + name + ".txt");
        QVERIFY(table.open(QIODevice::WriteOnly));
        table.write("1 1 0\n");
    }
    Dialog_InputsSetting dialog;
    dialog.setChannelInputsConfig({names.at(3), names.at(1), names.at(2), names.at(0), names.at(2)});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCoreApplication::processEvents();

    const QStringList cut = cutTexts(&dialog);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
    QVERIFY(dialog.width() <= screen.width() && dialog.height() <= screen.height());
    for (QComboBox *combo : dialog.findChildren<QComboBox *>()) {
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        const QStringList cutInList = cutPopupTexts(combo);
        combo->hidePopup();
        QVERIFY2(cutInList.isEmpty(), qPrintable(cutInList.join("; ")));
    }
}

void TestStyledForms::taskTableShowsTasksWhole_data()
{
    QTest::addColumn<QSize>("screen");
    QTest::addColumn<int>("tasks");
    for (const QSize screen : {smallScreen, largeScreen}) {
        const QString name = QString("%1x%2 ").arg(screen.width()).arg(screen.height());
        QTest::newRow(qPrintable(name + "3 tasks")) << screen << 3;
        QTest::newRow(qPrintable(name + "5 tasks")) << screen << 5;
        // The sixth and later are scrolled to; the first five stay in sight.
        QTest::newRow(qPrintable(name + "7 tasks")) << screen << 7;
    }
}

void TestStyledForms::taskTableShowsTasksWhole()
{
    QFETCH(QSize, screen);
    QFETCH(int, tasks);
    applyTheme(screen);
    Dialog_SampleTask dialog;
    // Built as the operator builds them: five channels, non-polarising electrodes, long lengths.
    dialog.findChild<QComboBox *>("comboBox_ElectrodeType")->setCurrentIndex(1);
    for (const char *edit : {"lineEdit_E0PoleDistance", "lineEdit_E1PoleDistance", "lineEdit_E2PoleDistance"})
        dialog.findChild<QLineEdit *>(edit)->setText("100.5");
    for (int i = 0; i < tasks; ++i) {
        dialog.findChild<QComboBox *>("comboBox_SampleRate")->setCurrentText(QString::number(sampleRateList.at(i % 5)));
        dialog.findChild<QPushButton *>("btn_AddTask")->click();
    }
    QCOMPARE(dialog.getTaskList().size(), tasks);
    QCOMPARE(prompt->count(), 0);
    QStringList cut;
    QSize shown;
    QTimer::singleShot(0, &dialog, [&] {
        QCoreApplication::processEvents();
        cut = cutTexts(&dialog);
        shown = dialog.size();
        dialog.done(0);
    });
    dialog.sampleTaskDialogShow();

    QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
    QVERIFY2(shown.width() <= screen.width() && shown.height() <= screen.height(),
             qPrintable(QString("%1x%2").arg(shown.width()).arg(shown.height())));
}

void TestStyledForms::spinBoxesDrawArrows_data()
{
    addScreens();
}

// The rename's number (an integer input box) and the new project's date.
void TestStyledForms::spinBoxesDrawArrows()
{
    QFETCH(QSize, screen);
    applyTheme(screen);
    QInputDialog rename;
    rename.setInputMode(QInputDialog::IntInput);
    rename.show();
    Dialog_NewProject newProject;
    newProject.show();
    QVERIFY(QTest::qWaitForWindowExposed(&rename));
    QVERIFY(QTest::qWaitForWindowExposed(&newProject));
    const QList<QAbstractSpinBox *> boxes = {rename.findChild<QSpinBox *>(), newProject.findChild<QDateEdit *>()};
    for (QAbstractSpinBox *box : boxes) {
        QVERIFY(box);
        const QImage picture = box->grab().toImage();
        for (const QStyle::SubControl button : {QStyle::SC_SpinBoxUp, QStyle::SC_SpinBoxDown}) {
            const QRect rect = spinButton(box, button);
            QVERIFY2(rect.width() >= 8 && rect.height() >= 6, box->metaObject()->className());
            QVERIFY2(glyphIn(picture, rect), box->metaObject()->className());
        }
    }
}

QTEST_MAIN(TestStyledForms)
#include "tst_styled_forms.moc"
