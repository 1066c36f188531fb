#include "DialogShots.h"

#include "common/CtrlParam.h"
#include "common/Global_Variables.h"
#include "dialogs/CutTexts.h"
#include "dialogs/Dialog_InputsSetting.h"
#include "dialogs/Dialog_SampleTask.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {

// Sensor names as serial numbers make them, longer than the demo ones.
const QStringList sensorNames = {"Demo-Electrode", "Demo-IMFS-Coil", "E-PbCl2-2024-0613-17", "IMFS-07-2231-0815-A"};

bool saveGrab(QWidget *widget, const QDir &out, const QString &fileName)
{
    const QImage image = widget->grab().toImage();
    const QString path = out.filePath(fileName);
    const bool saved = image.save(path, "PNG");
    std::printf("%s %s (%dx%d)\n", saved ? "wrote" : "could not write", qPrintable(path), image.width(),
                image.height());
    return saved;
}

bool reportCut(const QString &what, const QStringList &cut)
{
    for (const QString &text : cut)
        std::printf("text cut in %s: %s\n", qPrintable(what), qPrintable(text));
    return cut.isEmpty();
}

QList<CtrlParam> fiveTasks()
{
    QList<CtrlParam> tasks;
    for (int rate : {4000, 2000, 1000, 500, 250}) {
        CtrlParam task;
        task.HxChannelIsUse = task.HyChannelIsUse = task.E0ChannelIsUse = true;
        task.E1ChannelIsUse = task.E2ChannelIsUse = true;
        task.EGain = 40;
        task.HGain = 160;
        task.E0PoleDistance = task.E1PoleDistance = 100.5;
        task.E2PoleDistance = 40;
        task.SampleRate = rate;
        task.SampleTimeMinute = 15;
        task.ElectrodeType = 1;
        tasks << task;
    }
    return tasks;
}

} // namespace

bool saveSensorDialog(const QDir &out, const QString &name)
{
    QTemporaryDir folder;
    QDir(folder.path()).mkpath("InputCalibration");
    for (const QString &sensor : sensorNames) {
        QFile table(folder.filePath("InputCalibration/" + sensor + ".txt"));
        if (!table.open(QIODevice::WriteOnly) || table.write("1 1 0\n") <= 0)
            return false;
    }
    appDirPath = folder.path();
    Dialog_InputsSetting dialog;
    // The longest names chosen, as the picture should show them.
    dialog.setChannelInputsConfig({sensorNames.at(3), sensorNames.at(1), sensorNames.at(2), sensorNames.at(0),
                                   sensorNames.at(2)});
    dialog.show();
    QApplication::processEvents();
    bool whole = reportCut("the sensor dialog", cutTexts(&dialog));
    bool saved = saveGrab(&dialog, out, QString("sensors-%1.png").arg(name));
    auto *coils = dialog.findChild<QComboBox *>("comboBox_HxInputNum");
    coils->showPopup();
    QApplication::processEvents();
    whole = reportCut("the sensor list", cutPopupTexts(coils)) && whole;
    saved = saveGrab(coils->view()->window(), out, QString("sensors-list-%1.png").arg(name)) && saved;
    coils->hidePopup();
    return saved && whole;
}

bool saveTaskDialog(const QDir &out, const QString &name)
{
    Dialog_SampleTask dialog;
    dialog.setTaskList(fiveTasks());
    bool whole = false;
    bool saved = false;
    QTimer::singleShot(0, &dialog, [&] {
        QApplication::processEvents();
        whole = reportCut("the task dialog", cutTexts(&dialog));
        saved = saveGrab(&dialog, out, QString("tasks-%1.png").arg(name));
        dialog.done(0);
    });
    dialog.sampleTaskDialogShow();
    return saved && whole;
}
