#ifndef DATAMODEL_INDEX_H
#define DATAMODEL_INDEX_H

#include "common/GPSPosition.h"
#include "common/ProjectConfig.h"
#include "common/SampleInfo.h"
#include "common/StationNumAutoConfig.h"
#include "common/StationSampleInfo.h"
#include "projectdata/ChannelFileRegistry.h"
#include "projectdata/Data_Project.h"
#include "projectdata/ImpedanceCalculator.h"
#include "projectdata/ImpedanceTaskPool.h"
#include "projectdata/ProjectLock.h"
#include "projectdata/StationOperations.h"
#include "projectdata/TempSampleList.h"

#include <QTreeWidget>

#include <memory>

class Dialog_NewProject;
class FloatDataExporter;
class QMenu;
class StationFileRenamer;
class LibHORM;
class ProjectJournal;
class RunSaveJournal;
struct RunPiece;

// The project tree: lines, their stations and the stations' recordings of the open project, and
// the project folder. Items are tied to the stored entities by position: top-level row i is
// line i of the project, station row j under it station j of that line (ordered by number),
// recording row k recording k of that station. Used on the GUI thread only; impedance curves are
// computed on the global thread pool from copies and handed back to the GUI thread.
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

    // Opens the project of the store into the tree. On success the tree owns the store and holds
    // the project's lock until closeProject; on failure (another program holds the project, no
    // table, a database that is no project, a project already open) it keeps nothing and the
    // caller still owns the store. A save or rename that a crash cut off is undone first, under
    // the lock, and the operator told.
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

    // The station task text that starts a run on the instrument.
    QByteArray getStationConfigText(const StationSampleInfo &station, bool online, int existingGroups);

    // Temporary recordings of the station being sampled: one being filled block by block, and the
    // finished ones of the run. Files go to appDirPath + "/TempFile".
    // False, nothing written, when the block belongs to another recording or the folder cannot be made.
    bool saveTempChannelData(SampleInfo block, int groupIndex, const QString &channelName, const char *data,
                             unsigned length);
    // Writes exactly length bytes; false when the file cannot be opened or written whole.
    bool writeRawDataToFile(QFile *file, const char *data, unsigned length);
    void resetCurrentTempSample();
    // Drops the recording being received and deletes its files (its group did not arrive whole).
    void discardCurrentTempSample();
    void pushCurrentTempSample();
    void finishCurrentTempSample(int line, double station);
    void showTempSampleTimeSeries(int line, double station, int index);
    int getTempSampleCount(int machine, int line, double station);
    // Deletes the files of the listed recordings and empties list and current recording.
    void clearTempSampleData();
    QList<SampleInfo> getTempSamples() const;
    const SampleInfo &getCurrentTempSample() const;

    // Impedance curves. The calculator is not owned; nullptr restores the built-in one.
    void setImpedanceCalculator(const ImpedanceCalculator *calculator);
    QString getInputCalibrationDir() const { return inputCalibrationDir; }
    // Computes on the calling thread; notices go out as snackMessage.
    bool calcSampleImpedance(SampleInfo &recording);
    void showTempSampleData(int line, double station, bool calculate);
    // source -1: merged curves of the temporary recordings; 1: those of the stored station.
    bool showStationProcessData(int line, double station, int source);
    static QVector<OneFreqImpedance> mergeTempImpedanceData(const QList<QVector<OneFreqImpedance>> &curves);
    bool reCalcSampleImpedance(int line, double station, int recordingIndex, SampleInfo *out);
    // Temporary recordings whose curves are still being computed; a save is refused meanwhile.
    int pendingCalculationCount() const;
    // Blocks until no calculation or temporary-file deletion of this tree runs; results of
    // calculations are delivered later (or dropped).
    void waitForCalculations();

    // Saves the temporary recordings of the run into the project, all or nothing, also across a
    // crash (see ProjectJournal). On false the store, the station files and every temporary file
    // are as before, and reason says why.
    bool saveStationTempSampleData(StationSampleInfo &record, StationNumAutoConfig step, int dropTasks,
                                   QString *reason = nullptr);

    // Station and line numbers that a rename accepts.
    static constexpr int minimumNumber = -999999;
    static constexpr int maximumNumber = 999999;
    // Remembers the line, station and item at pos (view coordinates) for the menus; the menu to
    // open there, null on a recording.
    QMenu *rememberItemAt(const QPoint &pos);
    // Renames the remembered station or line: folder, channel files, "config.ini" and database row,
    // all or nothing. False, with the operator told why, when nothing changed.
    bool renameLineOrStation(int newNumber);
    // Relabels every stored curve of the line's recordings as X direction; false when one had none.
    bool convertLineDirectionYToX(int lineRow);
    // Exports every channel file of the station as time and millivolt text into appDirPath + "/TempFile".
    // False when nothing was started (no station, no recording, no folder, or an export still running).
    bool getStationFloatData(int lineRow, int stationRow);
    bool isExportRunning() const;

signals:
    void signalLoadProjectConfig(ProjectConfig config);
    void signalLoadLastLineStationNum(int line, double station);
    void signalModelChange();
    void signalSelectLine(int line);
    void signalSelectStation(int machineID, int line, double station);
    void showTimeSeries(SampleInfo info);
    void showProcessData(QVector<OneFreqImpedance> e0, QVector<OneFreqImpedance> e1, QVector<OneFreqImpedance> e2);
    void snackMessage(QString message);
    // The number of temporary recordings still being computed changed.
    void pendingCalculationsChanged(int count);
    // A line or station was renamed: the data views show files and numbers that no longer exist.
    void signalClearDataViews();
    // Every file of a floating-point export has been written.
    void floatDataExported();

public slots:
    void onDoubleClicked(const QModelIndex &index);
    // Recomputes and rewrites every recording of the station remembered by the tree.
    void reCalcStationImpedanceData();
    void onRightClicked(const QPoint &pos);
    void openRenameEditor();
    void convertDirectionYToX();
    void getStationRawDataToFloatData();

private:
    bool lockProject();
    bool passesQuickCheck();
    static QString damagedFileText(const QString &cause);
    bool openTables();
    bool hasTable(const QString &table) const;
    bool isNewProjectDatabase() const;
    bool readProjectHeader(ProjectConfig &config);
    bool createProjectRow(ProjectConfig &config);
    void restoreProjectConfigFile(const ProjectConfig &config);
    void refuseDatabase(const QString &reason) const;
    void recoverUnderLock();
    void recoverInterruptedChange();
    bool fillTreeReadably();
    bool refusedForReadFailure();
    void emitLastLineStation();
    void reportReadFailure();
    static QString cutOffOnReadOnlyMedium();
    bool hotJournalLeft() const;
    QTreeWidgetItem *lineItem(Data_Line *line, double &lastStation);
    QTreeWidgetItem *stationItem(int lineNum, Data_Station *station);
    Data_Project *projectRow();
    HORM_Collection<Data_Station> *stationsOfLine(int lineRow, int *lineName);
    void buildTreeItems(int &lastLine, double &lastStation);
    void reloadTree();

    static QString tempFileDir();
    bool acceptTempBlock(const SampleInfo &block);
    bool isCurrentTempSample(int line, double station) const;
    void dropTempSamples();
    void removeTempFiles(const QList<SampleInfo> &recordings);

    const ImpedanceCalculator &calculator() const;
    ImpedanceCalculator::Input calculationInput(const SampleInfo &recording) const;
    bool applyImpedanceResult(SampleInfo &recording, const ImpedanceCalculator::Result &result);
    void onTempImpedanceDone(quint64 generation, quint64 id, int line, double station,
                             const ImpedanceCalculator::Result &result);
    bool showMergedTempCurves(int line, double station);
    bool showStoredStationCurves(int line, double station);
    bool emitStationCurves(Data_Station *station, QStringList *damaged = nullptr);
    void offerRecalculation(int line, double station, const QStringList &damaged);
    bool rebuildStoredSample(int line, double station, int recordingIndex, SampleInfo *out, int *rowId,
                             QString *damage);
    void startStationRecalculation(int line, double station);
    void applyStationRecalculation(quint64 generation, int line, double station, const QList<int> &rowIds,
                                   const QList<SampleInfo> &recordings,
                                   const QList<ImpedanceCalculator::Result> &results);
    bool writeRecalculatedCurves(Data_SampleData *recording, SampleInfo info);

    bool checkSaveable(const StationSampleInfo &record, QString *reason);
    bool saveTempSamplesToLine(StationSampleInfo &record, const QList<RunPiece> &pieces, QString *reason);
    bool prepareRun(const StationSampleInfo &record, const QList<RunPiece> &pieces, RunSaveJournal &journal,
                    QString *reason);
    bool saveSampleToStation(QTreeWidgetItem *lineItem, HORM_Collection<Data_Station> *stations, const RunPiece &piece,
                             const StationSampleInfo &record, RunSaveJournal &journal, QString *failure);
    QString journalWriteFailure() const;
    Data_Project *projectWithId(const QString &projectId);
    Data_Line *findOrAddLine(Data_Project *project, int lineNum, QTreeWidgetItem **item);
    HORM_CollectionItem<Data_Station> findOrAddStation(QTreeWidgetItem *lineItem, HORM_Collection<Data_Station> *stations,
                                                       const RunPiece &piece, const StationSampleInfo &record,
                                                       QTreeWidgetItem **item);
    void askAboutUnsavedSamples(const QList<SampleInfo> &unsaved);

    // Checks made before an operation changes anything.
    bool checkPieceStations(const StationSampleInfo &record, const QList<RunPiece> &pieces, QString *reason);
    QString stationNumberRefusal(int line, double station, double leaving);
    QString sharedFolderRefusal(int line, double station, double leaving);
    QString stationRenameRefusal(int line, double oldNumber, double newNumber);
    HORM_Collection<Data_Station> *stationsOfLineNumber(int line);
    bool keepReadablePieces(QList<RunPiece> &pieces, QString *reason);
    QString tempFilePath(const SampleInfo &block, const QString &channelName, int groupIndex) const;
    bool isListedTempFile(const QString &path) const;

    void initContextMenu();
    Data_Line *selectedLine(QTreeWidgetItem **item);
    bool refuseRename(QTreeWidgetItem *item, const QString &oldText, const QString &title, const QString &text);
    bool renameStation(Data_Line *line, int newNumber);
    bool renameLine(Data_Project *project, Data_Line *line, QTreeWidgetItem *item, int newNumber);
    bool refuseConversion(int lineName);
    bool commitRename(HORM_BaseObject *row, StationFileRenamer &renamer, const QString &failure);
    bool beginRenameJournal(ProjectJournal &journal, HORM_BaseObject *row, StationFileRenamer &renamer, QString *error);
    void onFloatDataExported();

    LibHORM *store = nullptr;
    // Held from the opening of the project until it is closed (none on a read-only folder).
    ProjectLock projectLock;
    HORM_Collection<Data_Project> *projectCollection = nullptr;
    Dialog_NewProject *newProjectDialog = nullptr;
    ChannelFileRegistry channelFiles;
    bool orderStationsByNumber = true;
    QString projectDir;
    QString dataDir;
    QString projectConfigFilePath;
    int selectedLineRow = -1;
    int selectedStationRow = -1;
    QString inputCalibrationDir;
    int openedLastLine = -1;
    double openedLastStation = -1.0;

    SampleInfo currentTempSample;
    TempSampleList tempSampleList;
    ChannelFileRegistry tempFiles;
    // Bumped whenever the results of running calculations no longer apply.
    quint64 tempGeneration = 0;
    quint64 projectGeneration = 0;
    ImpedanceCalculator defaultCalculator;
    const ImpedanceCalculator *injectedCalculator = nullptr;
    ImpedanceTaskPool taskPool;
    // Calculations, exports, renames, conversions and saves running on the stations.
    StationOperations operations;

    std::unique_ptr<QMenu> stationMenu;
    std::unique_ptr<QMenu> lineMenu;
    QTreeWidgetItem *clickedItem = nullptr;
    FloatDataExporter *floatExporter = nullptr;
    quint64 exportOperation = 0;
    QString exportPlace; // "线<line>点<station>" of the running export
};

#endif // DATAMODEL_INDEX_H
