#ifndef BUSYDIALOG_H
#define BUSYDIALOG_H

#include <QProgressDialog>

#include <memory>

// The busy indicator shown while the instrument works: no parent, range 0 to 0, title "提示",
// no cancel button, window-modal, shown at once.
enum class BusyDialogFrame { OwnFlagsWithClose, CloseAndCustomizeOnly };
std::unique_ptr<QProgressDialog> showBusyDialog(const QString &label, BusyDialogFrame frame);

#endif // BUSYDIALOG_H
