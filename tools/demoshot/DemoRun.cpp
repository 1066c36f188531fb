#include "DemoRun.h"

#include "E2eFixture.h"

#include "common/AMTMessageIds.h"
#include "dialogs/Dialog_NewProject.h"
#include "link/LibCom.h"
#include "mainwindow/MainWindow.h"
#include "projectdata/DataModel_Index.h"
#include "shell/chrome/QtMaterialSnackbar.h"

#include <QApplication>
#include <QDirIterator>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QToolButton>

namespace {

// Sampling, transfer and the curves of a few groups take a while under the sanitizers.
const int runTimeoutMs = 240000;

QToolButton *button(MainWindow &window, const char *name)
{
    return window.findChild<QToolButton *>(name);
}

Dialog_NewProject *shownNewProjectDialog()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *dialog = qobject_cast<Dialog_NewProject *>(widget);
        if (dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

} // namespace

DemoRun::DemoRun(E2eFixture &fixture, MainWindow &window) : fixture(fixture), window(window)
{
    QObject::connect(window.findChild<DataModel_Index *>(), &DataModel_Index::showProcessData, &window,
                     [this](const QVector<OneFreqImpedance> &e0, const QVector<OneFreqImpedance> &e1,
                            const QVector<OneFreqImpedance> &e2) { lastCurves = {e0, e1, e2}; });
}

bool DemoRun::fail(const QString &why)
{
    failure = why;
    return false;
}

bool DemoRun::noNewBoxSince(int boxes, const QString &step)
{
    if (fixture.prompt().count() == boxes)
        return true;
    return fail(QStringLiteral("%1: the program said \"%2\"").arg(step, fixture.promptTexts().mid(boxes).join("\" \"")));
}

// The connect button; connected once the instrument has been asked for its status.
bool DemoRun::connectInstrument()
{
    const int boxes = fixture.prompt().count();
    button(window, "tbtnConnectNetwork")->click();
    if (!fixture.waitForCommand(AMT_CMD_MACHINE_STATUS))
        return fail(QStringLiteral("the program did not connect to the simulator"));
    return noNewBoxSince(boxes, QStringLiteral("connecting"));
}

// The new-project button opens its dialog modally; the dialog is filled in and confirmed from
// inside its event loop. Done when the instrument has confirmed the project's configuration.
bool DemoRun::createProject(const QString &folder, const QString &name)
{
    const int boxes = fixture.prompt().count();
    QSignalSpy configured(window.findChild<LibCom *>(), &LibCom::AMTMachineProjectConfigSuccess);
    QTimer::singleShot(0, &window, [this, folder, name] { fillNewProjectDialog(folder, name); });
    button(window, "tbtnNewProject")->click();
    if (!failure.isEmpty())
        return false;
    if (!noNewBoxSince(boxes, QStringLiteral("creating the project")))
        return false;
    projectFolder = folder + '/' + name;
    if (!E2eFixture::waitUntil([&configured] { return configured.count() > 0; }))
        return fail(QStringLiteral("the instrument never confirmed the project's configuration"));
    return true;
}

void DemoRun::fillNewProjectDialog(const QString &folder, const QString &name)
{
    Dialog_NewProject *dialog = shownNewProjectDialog();
    if (!dialog) {
        fail(QStringLiteral("the new-project dialog did not open"));
        return;
    }
    dialog->findChild<QLineEdit *>("lineEdit_ProjectDir")->setText(folder);
    dialog->findChild<QLineEdit *>("lineEdit_ProjectName")->setText(name);
    dialog->findChild<QLineEdit *>("lineEdit_ProjectArea")->setText(QStringLiteral("DemoSite"));
    dialog->findChild<QLineEdit *>("lineEdit_OperatorName")->setText(QStringLiteral("Demo"));
    dialog->findChild<QPushButton *>("btn_Confirm")->click();
    // A refused form stays open; cancelling it keeps the tool from waiting for ever.
    if (dialog->isVisible())
        dialog->findChild<QPushButton *>("btn_Cancel")->click();
}

// The task list as the task dialog confirms it, the line and station typed in, then the start
// button; done when the window offers to save (after the last group) and no curve is still being
// computed, or as soon as the program raises a box.
bool DemoRun::runStation(const QList<CtrlParam> &tasks, int line, double station)
{
    window.onSlotTasksSettingSureClicked(tasks);
    window.findChild<QLineEdit *>("lineEdit_LineNum")->setText(QString::number(line));
    window.findChild<QLineEdit *>("lineEdit_StationNum")->setText(QString::number(station));
    if (!startAccepted())
        return false;
    const QToolButton *save = button(window, "tbtnSave");
    const DataModel_Index *tree = window.findChild<DataModel_Index *>();
    const int boxes = fixture.prompt().count();
    const bool done = E2eFixture::waitUntil(
        [&] {
            const bool saveOffered = !save->isHidden() && save->isEnabled() && tree->pendingCalculationCount() == 0;
            return saveOffered || fixture.prompt().count() != boxes;
        },
        runTimeoutMs);
    if (!noNewBoxSince(boxes, QStringLiteral("running the station")))
        return false;
    if (!done)
        return fail(QStringLiteral("the run did not finish"));
    if (lastCurves.isEmpty())
        return fail(QStringLiteral("the run's curves never reached the impedance view"));
    return true;
}

bool DemoRun::startAccepted()
{
    QSignalSpy started(&window, &MainWindow::sampleStart);
    const int boxes = fixture.prompt().count();
    button(window, "tbtnStartSample")->click();
    if (!noNewBoxSince(boxes, QStringLiteral("starting the run")))
        return false;
    if (!E2eFixture::waitUntil([&started] { return !started.isEmpty(); }, 30000))
        return fail(QStringLiteral("the instrument did not start sampling"));
    return true;
}

// Done when the window is back at the start button and the recordings are in the project.
bool DemoRun::save()
{
    const int boxes = fixture.prompt().count();
    button(window, "tbtnSave")->click();
    if (!noNewBoxSince(boxes, QStringLiteral("saving")))
        return false;
    if (!E2eFixture::waitUntil([this] { return !button(window, "tbtnStartSample")->isHidden(); }))
        return fail(QStringLiteral("the window did not return to the start button after saving"));
    if (savedRecordings() == 0)
        return fail(QStringLiteral("no recording was saved under %1").arg(projectFolder));
    return true;
}

bool DemoRun::noticesShown()
{
    const QtMaterialSnackbar *snackbar = window.findChild<QtMaterialSnackbar *>();
    if (!E2eFixture::waitUntil([snackbar] { return snackbar->messages().isEmpty(); }, 30000))
        return fail(QStringLiteral("the window's notices did not go"));
    return true;
}

int DemoRun::savedRecordings() const
{
    int count = 0;
    QDirIterator it(projectFolder + QStringLiteral("/data"), {QStringLiteral("*.ats")}, QDir::Files,
                    QDirIterator::Subdirectories);
    for (; it.hasNext(); it.next())
        ++count;
    return count;
}
