#ifndef DATAMODEL_INDEX_H
#define DATAMODEL_INDEX_H

#include "common/GPSPosition.h"
#include "common/ProjectConfig.h"
#include "common/SampleInfo.h"
#include "projectdata/ChannelFileRegistry.h"
#include "projectdata/Data_Project.h"

#include <QTreeWidget>

class Dialog_NewProject;
class LibHORM;

// The project tree: lines, their stations and the stations' recordings of the open project, and
// the project folder. Items are tied to the stored entities by position: top-level row i is
// line i of the project, station row j under it station j of that line (ordered by number),
// recording row k recording k of that station. Used on the GUI thread only.
class DataModel_Index : public QTreeWidget
{
    Q_OBJECT

public:
    explicit DataModel_Index(QWidget *parent = nullptr);
    ~DataModel_Index() override;

    void setNewProjectDialog(Dialog_NewProject *dialog);
    void setProjectDir(const QString &dir);
    // Empty while no project directory is set.
    QString getProjectConfigFilePath();

    // Opens the project of the store into the tree. On success the tree owns the store until
    // closeProject; on failure (no table, a database that is no project, a project already open)
    // it keeps nothing and the caller still owns the store.
    bool loadProject(LibHORM *store);
    // Empties the tree, releases the entities and channel file objects, then deletes the store.
    void closeProject();
    // True when the project has no line, or no project is open.
    bool isProjectEmpty();

    HORM_CollectionItem<Data_Station> findStation(int lineRow, int stationRow, bool *found, int *lineName = nullptr);
    HORM_CollectionItem<Data_Station> findStationByNumber(int lineNumber, double stationNumber, bool *found);
    void selectItem(int lineRow, int stationRow, int recordingRow);

    // The station folder of a line and station number in the open project's data folder.
    QString stationFolder(int lineNum, double stationNum) const;
    // Appends the recording's row to its station's "config.ini" as row sampleDataNum; false when
    // the folders or the file cannot be made, or the file's next row has another number.
    bool writeStationConfigFile(int machineId, const QString &projectName, const SampleInfo &recording,
                                const GPSPosition &position, int sampleDataNum);

signals:
    void signalLoadProjectConfig(ProjectConfig config);
    void signalLoadLastLineStationNum(int line, double station);
    void signalModelChange();
    void signalSelectLine(int line);
    void signalSelectStation(int machineID, int line, double station);
    void showTimeSeries(SampleInfo info);

public slots:
    void onDoubleClicked(const QModelIndex &index);

private:
    bool openTables();
    bool hasTable(const QString &table) const;
    bool isNewProjectDatabase() const;
    bool readProjectHeader(ProjectConfig &config);
    bool createProjectRow(ProjectConfig &config);
    void refuseDatabase(const QString &reason) const;
    void fillTree();
    QTreeWidgetItem *lineItem(Data_Line *line, double &lastStation);
    QTreeWidgetItem *stationItem(int lineNum, Data_Station *station);
    Data_Project *projectRow();
    HORM_Collection<Data_Station> *stationsOfLine(int lineRow, int *lineName);

    LibHORM *store = nullptr;
    HORM_Collection<Data_Project> *projectCollection = nullptr;
    Dialog_NewProject *newProjectDialog = nullptr;
    ChannelFileRegistry channelFiles;
    bool orderStationsByNumber = true;
    QString projectDir;
    QString dataDir;
    QString projectConfigFilePath;
    int selectedLineRow = -1;
    int selectedStationRow = -1;
};

#endif // DATAMODEL_INDEX_H
