#include "mainwindow/BusyDialog.h"

std::unique_ptr<QProgressDialog> showBusyDialog(const QString &label, BusyDialogFrame frame)
{
    auto dialog = std::make_unique<QProgressDialog>();
    if (frame == BusyDialogFrame::OwnFlagsWithClose)
        dialog->setWindowFlags(dialog->windowFlags() | Qt::WindowCloseButtonHint);
    else
        dialog->setWindowFlags(Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    dialog->setRange(0, 0);
    dialog->setWindowTitle(QObject::tr("提示"));
    dialog->setLabelText(label);
    dialog->setCancelButton(nullptr);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setModal(true);
    dialog->show();
    return dialog;
}
