#include "dialogs/ComboPopupViews.h"

#include <QComboBox>
#include <QListView>

void installComboPopupViews(QWidget *root)
{
    const QList<QComboBox *> combos = root->findChildren<QComboBox *>();
    for (QComboBox *combo : combos) {
        if (combo->metaObject() != &QComboBox::staticMetaObject)
            continue;
        combo->setView(new QListView(combo));
        combo->view()->window()->setWindowFlags(Qt::Popup | Qt::FramelessWindowHint
                                                | Qt::NoDropShadowWindowHint);
    }
}
