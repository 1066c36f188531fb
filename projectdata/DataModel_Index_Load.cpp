// Opening a project into the tree and closing it.
#include "projectdata/DataModel_Index.h"

#include "dialogs/Dialog_NewProject.h"
#include "projectdata/ProjectFolder.h"
#include "projectdata/ProjectJournal.h"
#include "projectdata/StationNumberText.h"
#include "shell/OperatorPrompt.h"
#include "store/LibHORM.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

namespace {

// The stored classes in the order their tables are made.
const QList<const QMetaObject *> entityClasses = {&Data_Project::staticMetaObject, &Data_Line::staticMetaObject,
                                                  &Data_Station::staticMetaObject, &Data_SampleData::staticMetaObject,
                                                  &Data_ProcessData::staticMetaObject};

QString tableOf(const QMetaObject *meta)
{
    return QString::fromLatin1(meta->className());
}

QString comparablePath(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

bool DataModel_Index::loadProject(LibHORM *newStore)
{
    if (!newStore || !newProjectDialog || store || !newStore->database())
        return false;
    store = newStore;
    ++projectGeneration;
    ProjectConfig config;
    if (lockProject() && passesQuickCheck() && openTables() && (recoverUnderLock(), readProjectHeader(config))
        && fillTreeReadably()) {
        QDir().mkpath(dataDir);
        restoreProjectConfigFile(config);
        emit signalLoadProjectConfig(config);
        emitLastLineStation();
        emit signalModelChange();
        connect(store, &LibHORM::readFailed, this, &DataModel_Index::reportReadFailure, Qt::QueuedConnection);
        return true;
    }
    clear();
    delete projectCollection;
    projectCollection = nullptr;
    channelFiles.clear();
    projectLock.release();
    store = nullptr;
    return false;
}

// A file that SQLite finds damaged is refused before anything is written into it: no table is
// made or upgraded, no interrupted change undone.
bool DataModel_Index::passesQuickCheck()
{
    QSqlQuery query(*store->database());
    QStringList problems;
    if (!query.exec(QStringLiteral("PRAGMA quick_check")))
        problems << query.lastError().text();
    while (query.next()) {
        const QString row = query.value(0).toString();
        if (row != QLatin1String("ok"))
            problems << row;
    }
    if (query.lastError().isValid() && problems.isEmpty())
        problems << query.lastError().text();
    if (problems.isEmpty())
        return true;
    refuseDatabase(hotJournalLeft() ? cutOffOnReadOnlyMedium() : damagedFileText(problems.first()));
    return false;
}

QString DataModel_Index::damagedFileText(const QString &cause)
{
    return tr("工程文件已损坏，无法读取（%1）。请用备份的工程文件替换它。").arg(cause.trimmed());
}

// Every opening takes the project's lock before it reads or recovers anything, so that a second
// program never undoes a change the first is still making.
bool DataModel_Index::lockProject()
{
    QString refusal;
    switch (projectLock.acquire(store->database()->databaseName(), &refusal)) {
    case ProjectLock::Result::Locked:
    case ProjectLock::Result::ReadOnly:
        return true;
    case ProjectLock::Result::Held:
    case ProjectLock::Result::Failed:
        break;
    }
    refuseDatabase(refusal);
    return false;
}

// Only the holder of the lock may put files back: without it (a read-only folder) a change cut
// off there waits for an opening where the project can be written.
void DataModel_Index::recoverUnderLock()
{
    if (projectLock.isLocked())
        recoverInterruptedChange();
    else if (QFileInfo::exists(ProjectJournal::pathIn(projectDir)))
        OperatorPrompt::warning(nullptr, tr("提示"), cutOffOnReadOnlyMedium());
}

// A database journal the crash left cannot be played back where nothing can be written, and the
// database cannot be read before it is.
bool DataModel_Index::hotJournalLeft() const
{
    return QFileInfo(store->database()->databaseName() + QStringLiteral("-journal")).size() > 0;
}

QString DataModel_Index::cutOffOnReadOnlyMedium()
{
    return tr("工程在写入时被中断，而它所在的位置不能写入，无法在这里恢复。\n"
              "请在可写入的位置打开工程（复制到本机硬盘，或取消介质的写保护），打开时会自动恢复，数据没有丢失。");
}

// Creates or upgrades the tables of a project database, or of the one the new-project dialog
// has just made; any other file is left untouched.
bool DataModel_Index::openTables()
{
    if (!hasTable(tableOf(entityClasses.first())) && !isNewProjectDatabase()) {
        refuseDatabase(hotJournalLeft() ? cutOffOnReadOnlyMedium() : tr("它不是工程数据库，或已损坏。"));
        return false;
    }
    for (const QMetaObject *meta : entityClasses)
        store->createTable(meta);
    for (const QMetaObject *meta : entityClasses) {
        if (!hasTable(tableOf(meta))) {
            refuseDatabase(tr("工程数据表无法建立。"));
            return false;
        }
    }
    return true;
}

bool DataModel_Index::hasTable(const QString &table) const
{
    return store->database()->tables().contains(table);
}

bool DataModel_Index::isNewProjectDatabase() const
{
    const QString made = newProjectDialog->getProjectPath();
    return !made.isEmpty() && comparablePath(made) == comparablePath(store->database()->databaseName());
}

void DataModel_Index::refuseDatabase(const QString &reason) const
{
    OperatorPrompt::warning(nullptr, tr("提示"),
                            tr("无法打开工程文件%1：\n%2").arg(QDir::toNativeSeparators(store->database()->databaseName()), reason));
}

// The header of the project row; a database without one gets it only when the new-project
// dialog has just made it.
bool DataModel_Index::readProjectHeader(ProjectConfig &config)
{
    projectCollection = new HORM_Collection<Data_Project>(store);
    if (refusedForReadFailure())
        return false;
    if (projectCollection->count() > 0) {
        Data_Project *project = projectRow();
        if (!project) {
            refuseDatabase(tr("工程信息无法读取。"));
            return false;
        }
        config = project->getProjectConfig();
        return true;
    }
    if (!isNewProjectDatabase()) {
        refuseDatabase(tr("文件中没有工程信息，请通过新建工程创建工程。"));
        return false;
    }
    return createProjectRow(config);
}

bool DataModel_Index::createProjectRow(ProjectConfig &config)
{
    HORM_CollectionItem<Data_Project> item = projectCollection->addNew();
    config = newProjectDialog->getProjectConfig();
    if (item.isNull() || !item.object->hasRow() || !item.object->setProjectConfig(config)) {
        refuseDatabase(tr("工程信息无法写入。"));
        return false;
    }
    ProjectFolder::writeProjectConfigFile(getProjectConfigFilePath(), config);
    return true;
}

// The instrument is sent "projectConfig.ini" and records nothing until it has confirmed it: a
// project copied without the file gets it again from its row.
void DataModel_Index::restoreProjectConfigFile(const ProjectConfig &config)
{
    const QString path = getProjectConfigFilePath();
    if (QFileInfo::exists(path))
        return;
    const QString shown = QDir::toNativeSeparators(path);
    if (ProjectFolder::writeProjectConfigFile(path, config))
        emit snackMessage(tr("工程配置文件%1缺失，已按工程数据库重新生成。").arg(shown));
    else
        OperatorPrompt::warning(nullptr, tr("提示"),
                                tr("工程配置文件%1缺失，且无法重新生成：仪器无法确认工程配置，不能采集。").arg(shown));
}

// A tree with lines, stations or recordings missing is never shown as the project.
bool DataModel_Index::fillTreeReadably()
{
    openedLastLine = -1;
    openedLastStation = -1.0;
    buildTreeItems(openedLastLine, openedLastStation);
    return !refusedForReadFailure();
}

// True, with the operator told, when a collection could not read its rows.
bool DataModel_Index::refusedForReadFailure()
{
    const QString failure = store->takeReadFailure();
    if (failure.isEmpty())
        return false;
    refuseDatabase(damagedFileText(failure));
    return true;
}

void DataModel_Index::emitLastLineStation()
{
    if (openedLastLine != -1 || openedLastStation != -1.0)
        emit signalLoadLastLineStationNum(openedLastLine, openedLastStation);
}

void DataModel_Index::reportReadFailure()
{
    if (!store)
        return;
    const QString failure = store->takeReadFailure();
    if (!failure.isEmpty())
        OperatorPrompt::warning(nullptr, tr("提示"), damagedFileText(failure));
}

void DataModel_Index::buildTreeItems(int &lastLine, double &lastStation)
{
    Data_Project *project = projectRow();
    HORM_Collection<Data_Line> *lines = project ? project->getREF_Data_Line() : nullptr;
    for (int i = 0; lines && i < lines->count(); ++i) {
        HORM_CollectionItem<Data_Line> line = lines->at(i);
        if (line.isNull())
            continue;
        addTopLevelItem(lineItem(line.object, lastStation));
        lastLine = line.object->getLineName();
    }
}

QTreeWidgetItem *DataModel_Index::lineItem(Data_Line *line, double &lastStation)
{
    auto *item = new QTreeWidgetItem(QStringList(QString::number(line->getLineName())));
    HORM_Collection<Data_Station> *stations = line->getREF_Data_Station();
    if (!stations)
        return item;
    if (orderStationsByNumber)
        stations->setOrder(QStringLiteral("StationNum"));
    for (int i = 0; i < stations->count(); ++i) {
        HORM_CollectionItem<Data_Station> station = stations->at(i);
        if (station.isNull())
            continue;
        item->addChild(stationItem(line->getLineName(), station.object));
        lastStation = station.object->getStationNum();
    }
    return item;
}

QTreeWidgetItem *DataModel_Index::stationItem(int lineNum, Data_Station *station)
{
    auto *item = new QTreeWidgetItem(QStringList(StationNumberText::text(station->getStationNum())));
    HORM_Collection<Data_SampleData> *recordings = station->getREF_Data_SampleData();
    const QString folder = stationFolder(lineNum, station->getStationNum());
    for (int i = 0; recordings && i < recordings->count(); ++i) {
        HORM_CollectionItem<Data_SampleData> recording = recordings->at(i);
        if (recording.isNull())
            continue;
        recording.object->setSampleFolder(folder);
        recording.object->setChannelFileRegistry(&channelFiles);
        if (recording.object->hasSampleFolder())
            item->addChild(new QTreeWidgetItem(QStringList(QStringLiteral("%1Hz").arg(recording.object->getSampleRate()))));
    }
    return item;
}

void DataModel_Index::closeProject()
{
    // Results of calculations still running belong to this project: wait, then drop them.
    waitForCalculations();
    ++projectGeneration;
    operations.clear();
    clear();
    clickedItem = nullptr;
    selectedLineRow = -1;
    selectedStationRow = -1;
    delete projectCollection;
    projectCollection = nullptr;
    channelFiles.clear();
    delete store;
    store = nullptr;
    projectLock.release();
}
