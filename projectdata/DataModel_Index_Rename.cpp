// Tree menus, renaming of lines and stations, and the line's curve direction conversion.
#include "projectdata/DataModel_Index.h"

#include "projectdata/DiskSpace.h"
#include "projectdata/ProjectJournal.h"
#include "projectdata/StationFileRenamer.h"
#include "projectdata/StationNumberText.h"
#include "shell/OperatorPrompt.h"
#include "store/LibHORM.h"

#include <QCursor>
#include <QDir>
#include <QMenu>
#include <QSqlDatabase>

namespace {

// Menus live as long as the tree; their actions belong to the tree.
void addMenuAction(QMenu *menu, const QString &text, DataModel_Index *tree, void (DataModel_Index::*slot)())
{
    QAction *action = new QAction(text, tree);
    QObject::connect(action, &QAction::triggered, tree, slot);
    menu->addAction(action);
}

} // namespace

void DataModel_Index::initContextMenu()
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, SIGNAL(customContextMenuRequested(QPoint)), this, SLOT(onRightClicked(QPoint)));
    stationMenu = std::make_unique<QMenu>();
    addMenuAction(stationMenu.get(), tr("导出浮点数"), this, &DataModel_Index::getStationRawDataToFloatData);
    addMenuAction(stationMenu.get(), tr("重新计算阻抗图"), this, &DataModel_Index::reCalcStationImpedanceData);
    addMenuAction(stationMenu.get(), tr("点号重命名"), this, &DataModel_Index::openRenameEditor);
    lineMenu = std::make_unique<QMenu>();
    addMenuAction(lineMenu.get(), tr("阻抗图Y方向转X方向"), this, &DataModel_Index::convertDirectionYToX);
    addMenuAction(lineMenu.get(), tr("线号重命名"), this, &DataModel_Index::openRenameEditor);
    selectedLineRow = -1;
    selectedStationRow = -1;
}

QMenu *DataModel_Index::rememberItemAt(const QPoint &pos)
{
    selectedLineRow = -1;
    selectedStationRow = -1;
    clickedItem = nullptr;
    const QModelIndex index = indexAt(pos);
    if (index.parent().isValid() && index.parent().parent().isValid())
        return nullptr;
    clickedItem = itemAt(pos);
    if (index.parent().isValid()) {
        selectedLineRow = index.parent().row();
        selectedStationRow = index.row();
        return stationMenu.get();
    }
    selectedLineRow = index.isValid() ? index.row() : -1;
    return lineMenu.get();
}

void DataModel_Index::onRightClicked(const QPoint &pos)
{
    if (QMenu *menu = rememberItemAt(pos))
        menu->exec(QCursor::pos());
}

void DataModel_Index::openRenameEditor()
{
    if (!clickedItem)
        return;
    const QString kind = selectedStationRow >= 0 ? tr("点") : tr("线");
    bool ok = false;
    const int n = OperatorPrompt::getInt(this, tr("修改%1号").arg(kind),
                                         tr("切勿打开当前工程的文件(夹)\n请输入新的%1号:").arg(kind),
                                         clickedItem->text(0).toInt(), minimumNumber, maximumNumber, &ok);
    if (!ok)
        return;
    renameLineOrStation(n);
    clickedItem = nullptr;
}

// The remembered line and its tree item; null when the row names no line of the project.
Data_Line *DataModel_Index::selectedLine(QTreeWidgetItem **item)
{
    Data_Project *project = projectRow();
    HORM_Collection<Data_Line> *lines = project ? project->getREF_Data_Line() : nullptr;
    if (!lines || selectedLineRow < 0 || selectedLineRow >= lines->count())
        return nullptr;
    *item = topLevelItem(selectedLineRow);
    HORM_CollectionItem<Data_Line> line = lines->at(selectedLineRow);
    return *item && !line.isNull() ? line.object : nullptr;
}

bool DataModel_Index::renameLineOrStation(int newNumber)
{
    QTreeWidgetItem *item = nullptr;
    Data_Line *line = selectedLine(&item);
    if (!line)
        return false;
    if (newNumber < minimumNumber || newNumber > maximumNumber)
        return refuseRename(nullptr, QString(), tr("提醒"),
                            tr("编号须在%1到%2之间！").arg(minimumNumber).arg(maximumNumber));
    if (selectedStationRow >= 0)
        return renameStation(line, newNumber);
    return renameLine(projectRow(), line, item, newNumber);
}

// Shows the item's old text again (when given) and tells the operator; always false.
bool DataModel_Index::refuseRename(QTreeWidgetItem *item, const QString &oldText, const QString &title,
                                   const QString &text)
{
    if (item)
        item->setText(0, oldText);
    OperatorPrompt::critical(nullptr, title, text);
    return false;
}

// Moves the files, then saves the row; a failed save puts the files back. The caller has set the
// row's new number and restores it on false. The journal puts the files back after a crash.
bool DataModel_Index::commitRename(HORM_BaseObject *row, StationFileRenamer &renamer, const QString &failure)
{
    QString why = DiskSpace::shortage(projectDir, renamer.bytesToWrite());
    if (!why.isEmpty()) {
        OperatorPrompt::information(nullptr, tr("通知"), failure + '\n' + why);
        return false;
    }
    ProjectJournal journal(projectDir);
    if (!beginRenameJournal(journal, row, renamer, &why)) {
        OperatorPrompt::information(nullptr, tr("通知"), failure + '\n' + DiskSpace::withReason(why, projectDir));
        return false;
    }
    if (!renamer.apply()) {
        journal.undo(nullptr);
        OperatorPrompt::information(nullptr, tr("通知"), failure + '\n' + renamer.error());
        return false;
    }
    const bool synced = journal.sync(&why);
    if (synced && store->transaction() && row->updateRow() && store->commit()) {
        journal.finish();
        return true;
    }
    if (synced)
        why = store->engineError();
    store->rollback();
    renamer.undo();
    journal.undo(nullptr);
    OperatorPrompt::information(nullptr, tr("通知"), tr("工程数据库无法保存，点线号未修改！") + '\n' + why);
    return false;
}

bool DataModel_Index::renameStation(Data_Line *line, int newNumber)
{
    const int lineName = line->getLineName();
    HORM_Collection<Data_Station> *stations = line->getREF_Data_Station();
    QTreeWidgetItem *lineItem = topLevelItem(selectedLineRow);
    QTreeWidgetItem *item = lineItem->child(selectedStationRow);
    if (!stations || !item || selectedStationRow >= stations->count() || stations->at(selectedStationRow).isNull())
        return false;
    Data_Station *station = stations->at(selectedStationRow).object;
    const double old = station->getStationNum();
    const QString oldText = StationNumberText::text(old);
    for (int i = 0; i < stations->count(); ++i) {
        if (!stations->at(i).isNull() && stations->at(i).object->getStationNum() == newNumber)
            return refuseRename(item, oldText, tr("提醒"), tr("该点号已存在！"));
    }
    QString refusal;
    const StationOperations::Guard running(operations, operations.begin(StationOperations::Rename, lineName, old, &refusal));
    if (refusal.isEmpty())
        refusal = stationRenameRefusal(lineName, old, newNumber);
    if (!refusal.isEmpty())
        return refuseRename(item, oldText, tr("提醒"), refusal);
    const QString oldFolder = stationFolder(lineName, old);
    const QString newFolder = stationFolder(lineName, newNumber);
    StationFileRenamer renamer;
    // A refused plan is reported by commitRename.
    if (renamer.planStationFiles(oldFolder, newFolder, lineName, newNumber))
        renamer.planFolder(oldFolder, newFolder);
    station->setStationNum(newNumber);
    if (!commitRename(station, renamer, tr("点文件夹修改失败！\n修改点线号时切勿打开当前数据文件夹"))) {
        station->setStationNum(old);
        item->setText(0, oldText);
        return false;
    }
    HORM_Collection<Data_SampleData> *recordings = station->getREF_Data_SampleData();
    for (int i = 0; recordings && i < recordings->count(); ++i) {
        if (!recordings->at(i).isNull())
            recordings->at(i).object->setSampleFolder(newFolder);
    }
    item->setText(0, QString::number(newNumber));
    emit signalClearDataViews();
    OperatorPrompt::information(nullptr, tr("通知"), tr("点号修改成功！"));
    return true;
}

bool DataModel_Index::renameLine(Data_Project *project, Data_Line *line, QTreeWidgetItem *item, int newNumber)
{
    const int old = line->getLineName();
    const QString oldText = QString::number(old);
    HORM_Collection<Data_Line> *lines = project->getREF_Data_Line();
    for (int i = 0; i < lines->count(); ++i) {
        if (!lines->at(i).isNull() && lines->at(i).object->getLineName() == newNumber)
            return refuseRename(item, oldText, tr("提醒"), tr("该线号已经存在！"));
    }
    QString refusal;
    const StationOperations::Guard running(operations, operations.beginLine(StationOperations::Rename, old, &refusal));
    if (!refusal.isEmpty())
        return refuseRename(item, oldText, tr("提醒"), refusal);
    const QString oldFolder = dataDir + QStringLiteral("/Line ") + oldText;
    const QString newFolder = dataDir + QStringLiteral("/Line ") + QString::number(newNumber);
    StationFileRenamer renamer;
    bool planned = true;
    for (const QString &name : QDir(oldFolder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        double station = 0;
        if (planned && StationFileRenamer::stationNumberOfFolder(name, &station))
            planned = renamer.planStationFiles(oldFolder + '/' + name, newFolder + '/' + name, newNumber, station);
    }
    if (planned)
        renamer.planFolder(oldFolder, newFolder);
    line->setLineName(newNumber);
    if (!commitRename(line, renamer, tr("线文件夹修改失败！\n修改点线号时切勿打开当前数据文件夹"))) {
        line->setLineName(old);
        item->setText(0, oldText);
        return false;
    }
    HORM_Collection<Data_Station> *stations = line->getREF_Data_Station();
    for (int i = 0; stations && i < stations->count(); ++i) {
        Data_Station *station = stations->at(i).object;
        HORM_Collection<Data_SampleData> *recordings = station ? station->getREF_Data_SampleData() : nullptr;
        for (int k = 0; recordings && k < recordings->count(); ++k) {
            if (!recordings->at(k).isNull())
                recordings->at(k).object->setSampleFolder(stationFolder(newNumber, station->getStationNum()));
        }
    }
    item->setText(0, QString::number(newNumber));
    emit signalClearDataViews();
    OperatorPrompt::information(nullptr, tr("通知"), tr("线号修改成功！"));
    return true;
}

void DataModel_Index::convertDirectionYToX()
{
    if (selectedLineRow != -1)
        convertLineDirectionYToX(selectedLineRow);
}

bool DataModel_Index::convertLineDirectionYToX(int lineRow)
{
    int lineName = 0;
    HORM_Collection<Data_Station> *stations = stationsOfLine(lineRow, &lineName);
    if (!stations)
        return false;
    QString refusal;
    const StationOperations::Guard running(operations, operations.beginLine(StationOperations::Conversion, lineName, &refusal));
    if (!refusal.isEmpty()) {
        OperatorPrompt::information(nullptr, tr("提示"), refusal);
        return false;
    }
    bool ok = true;
    bool writeFailed = !store->transaction();
    for (int i = 0; !writeFailed && i < stations->count(); ++i) {
        HORM_Collection<Data_SampleData> *recordings =
            stations->at(i).isNull() ? nullptr : stations->at(i).object->getREF_Data_SampleData();
        for (int k = 0; !writeFailed && recordings && k < recordings->count(); ++k)
            ok = !recordings->at(k).isNull() && recordings->at(k).object->convertDirectionYToX(&writeFailed) && ok;
    }
    if (writeFailed || !store->commit())
        return refuseConversion(lineName);
    OperatorPrompt::information(nullptr, tr("提示"), tr("%1线下所有Y转成X方向全部转换%2！")
                                                           .arg(lineName)
                                                           .arg(ok ? tr("成功") : tr("失败")));
    return ok;
}

// Nothing of a conversion whose writes failed stays: the database rolls back and the tree's
// entities, some already relabelled, are read again.
bool DataModel_Index::refuseConversion(int lineName)
{
    const QString why = store->engineError();
    store->rollback();
    reloadTree();
    OperatorPrompt::warning(nullptr, tr("提示"), tr("%1线下所有Y转成X方向转换失败，工程数据库无法写入，没有修改任何数据：\n%2")
                                                    .arg(lineName)
                                                    .arg(why));
    return false;
}
