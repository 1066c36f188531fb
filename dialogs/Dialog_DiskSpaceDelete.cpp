#include "dialogs/Dialog_DiskSpaceDelete.h"

#include "dialogs/DialogCloseGuard.h"
#include "shell/OperatorPrompt.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QSpacerItem>
#include <QStandardItemModel>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

QStandardItem *newCheckItem(const QString &text, bool checkable, bool tristate)
{
    auto *item = new QStandardItem(text);
    item->setEditable(false);
    // An entry whose number did not parse is shown but can never enter a request.
    item->setCheckable(checkable);
    item->setAutoTristate(checkable && tristate);
    if (checkable)
        item->setCheckState(Qt::Unchecked);
    return item;
}

QSpacerItem *buttonSpacer()
{
    return new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
}

} // namespace

Dialog_DiskSpaceDelete::Dialog_DiskSpaceDelete(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(tr("内存管理"));
    setWindowModality(Qt::ApplicationModal);
    resize(600, 600);
    treeView = new QTreeView(this);
    deleteButton = new QPushButton(tr("删除"), this);
    cancelButton = new QPushButton(tr("取消"), this);
    auto *buttons = new QHBoxLayout;
    buttons->addItem(buttonSpacer());
    buttons->addWidget(deleteButton);
    buttons->addItem(buttonSpacer());
    buttons->addWidget(cancelButton);
    buttons->addItem(buttonSpacer());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(treeView);
    layout->addLayout(buttons);

    connect(deleteButton, &QPushButton::clicked, this, &Dialog_DiskSpaceDelete::onDelete);
    connect(cancelButton, &QPushButton::clicked, this, &Dialog_DiskSpaceDelete::onDeleteCancel);
    connect(treeView, &QTreeView::clicked, this, &Dialog_DiskSpaceDelete::onTreeViewClicked);
}

Dialog_DiskSpaceDelete::~Dialog_DiskSpaceDelete()
{
    deleteNodes();
}

void Dialog_DiskSpaceDelete::parseProjectNameList(QByteArray *text)
{
    projectNameMap = DeviceListing::parseProjectNameList(text ? *text : QByteArray()).nameById;
}

void Dialog_DiskSpaceDelete::parseDeviceFileList(QByteArray *text)
{
    if (!text || text->isEmpty())
        return;
    buildProjectTree(*text);
}

void Dialog_DiskSpaceDelete::buildProjectTree(const QByteArray &text)
{
    deleteNodes();
    auto *model = new QStandardItemModel(treeView);
    model->setHorizontalHeaderLabels({tr("工程列表")});
    const auto projects = DeviceListing::parseStorageListing(text, projectNameMap, "UnKnown");
    for (const DeviceListing::ProjectEntry &project : projects) {
        auto *projectNode = new DiskProjectItem{project.name, project.id, nullptr, {}};
        projectNode->item = newCheckItem(QString("%1  --  %2").arg(project.name, project.id), true, true);
        model->appendRow(projectNode->item);
        for (const DeviceListing::LineEntry &line : project.lines) {
            auto *lineNode = new DiskLineItem{line.number, newCheckItem(line.text, line.parsed, true), {}};
            projectNode->item->appendRow(lineNode->item);
            for (const DeviceListing::StationEntry &station : line.stations) {
                auto *stationNode = new DiskStationItem{
                    line.number, station.number, newCheckItem(station.text, line.parsed && station.parsed, false)};
                lineNode->item->appendRow(stationNode->item);
                lineNode->stations.append(stationNode);
            }
            projectNode->lines.append(lineNode);
        }
        projectItems.append(projectNode);
    }
    connect(model, &QStandardItemModel::itemChanged, this, &Dialog_DiskSpaceDelete::treeItemChanged);
    QStandardItemModel *oldModel = treeModel;
    treeModel = model;
    treeView->setModel(model);
    delete oldModel;
}

void Dialog_DiskSpaceDelete::deleteNodes()
{
    for (DiskProjectItem *project : qAsConst(projectItems)) {
        for (DiskLineItem *line : qAsConst(project->lines)) {
            qDeleteAll(line->stations);
            delete line;
        }
        delete project;
    }
    projectItems.clear();
}

int Dialog_DiskSpaceDelete::diskSpaceDeleteDialogShow()
{
    cancelButton->setFocus();
    // A listing that arrives while the dialog is open only rebuilds its tree.
    if (isVisible())
        return 0;
    return exec();
}

void Dialog_DiskSpaceDelete::clearProjectTree()
{
    deleteNodes();
    // Removing the rows through the model deletes the items and leaves no row behind.
    if (treeModel)
        treeModel->removeRows(0, treeModel->rowCount());
}

QList<DeviceListing::CheckedProject> Dialog_DiskSpaceDelete::checkStates() const
{
    QList<DeviceListing::CheckedProject> projects;
    for (const DiskProjectItem *project : projectItems) {
        DeviceListing::CheckedProject checked{project->projectId, project->item->checkState(), {}};
        for (const DiskLineItem *line : project->lines) {
            DeviceListing::CheckedLine checkedLine{line->lineNum, line->item->checkState(), {}};
            for (const DiskStationItem *station : line->stations)
                checkedLine.stations.append({station->stationNum, station->item->checkState()});
            checked.lines.append(checkedLine);
        }
        projects.append(checked);
    }
    return projects;
}

void Dialog_DiskSpaceDelete::onDelete()
{
    QByteArray request = DeviceListing::buildDeleteRequest(checkStates());
    if (request.isEmpty()) {
        OperatorPrompt::warning(this, tr("提醒"), tr("未选择任何删除项,请设置！"));
        return;
    }
    if (OperatorPrompt::question(nullptr, tr("温馨提示"), tr("确认要删除仪器内部空间中所选的数据(工程/线/点)?")))
        emit signalDeletePushButtonClicked(&request);
}

void Dialog_DiskSpaceDelete::onDeleteCancel()
{
    clearProjectTree();
    mayClose = true;
    close();
    emit signalDeleteCancelPushButtonClicked();
}

void Dialog_DiskSpaceDelete::onTreeViewClicked(QModelIndex)
{
}

QStandardItem *Dialog_DiskSpaceDelete::getTopParent(QStandardItem *item)
{
    while (item && item->parent())
        item = item->parent();
    return item;
}

QModelIndex Dialog_DiskSpaceDelete::getTopParent(QModelIndex itemIndex)
{
    QModelIndex top = itemIndex.parent();
    if (!top.isValid())
        return QModelIndex();
    while (top.parent().isValid())
        top = top.parent();
    return top;
}

void Dialog_DiskSpaceDelete::treeItemChanged(QStandardItem *item)
{
    if (!item || !item->isCheckable())
        return;
    if (!item->isAutoTristate()) {
        treeItem_CheckChildChanged(item);
        return;
    }
    if (item->checkState() == Qt::PartiallyChecked)
        return;
    treeItem_checkAllChild(item, item->checkState() == Qt::Checked);
}

void Dialog_DiskSpaceDelete::treeItem_checkAllChild(QStandardItem *item, bool check)
{
    treeItem_checkAllChild_recursion(item, check);
}

void Dialog_DiskSpaceDelete::treeItem_checkAllChild_recursion(QStandardItem *item, bool check)
{
    if (!item)
        return;
    for (int row = 0; row < item->rowCount(); ++row)
        treeItem_checkAllChild_recursion(item->child(row, 0), check);
    if (item->isCheckable())
        item->setCheckState(check ? Qt::Checked : Qt::Unchecked);
}

Qt::CheckState Dialog_DiskSpaceDelete::checkSibling(QStandardItem *item)
{
    QStandardItem *parent = item->parent();
    if (!parent)
        return item->checkState();
    int checked = 0;
    int unchecked = 0;
    for (int row = 0; row < parent->rowCount(); ++row) {
        const QStandardItem *sibling = parent->child(row, 0);
        if (!sibling)
            continue;
        const Qt::CheckState state = sibling->checkState();
        if (state == Qt::PartiallyChecked)
            return Qt::PartiallyChecked;
        (state == Qt::Unchecked ? unchecked : checked)++;
        if (checked > 0 && unchecked > 0)
            return Qt::PartiallyChecked;
    }
    return unchecked > 0 ? Qt::Unchecked : Qt::Checked;
}

void Dialog_DiskSpaceDelete::treeItem_CheckChildChanged(QStandardItem *item)
{
    while (item) {
        const Qt::CheckState state = checkSibling(item);
        QStandardItem *parent = item->parent();
        if (!parent)
            return;
        if (state == Qt::PartiallyChecked) {
            if (parent->isCheckable() && parent->isAutoTristate())
                parent->setCheckState(state);
        } else if (parent->isCheckable()) {
            parent->setCheckState(state);
        }
        item = parent;
    }
}

void Dialog_DiskSpaceDelete::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Back)
        return;
    QDialog::keyPressEvent(event);
}

void Dialog_DiskSpaceDelete::closeEvent(QCloseEvent *event)
{
    acceptCloseOnlyIfAllowed(mayClose, event);
}
