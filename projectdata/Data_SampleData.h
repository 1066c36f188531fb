#ifndef DATA_SAMPLEDATA_H
#define DATA_SAMPLEDATA_H

#include "common/GPSPosition.h"
#include "common/SampleInfo.h"
#include "projectdata/Data_ProcessData.h"
#include "store/HORM_Collection.h"

#include <QVector>

class ChannelFileRegistry;

// One recording of a station: one frequency group. The database keeps its position, rate and use
// flag; everything else is read from the station's "config.ini" in its sample folder.
class Data_SampleData : public HORM_BaseObject
{
    Q_OBJECT
    Q_PROPERTY(int SampleDataNum READ getSampleDataNum WRITE setSampleDataNum)
    Q_PROPERTY(int SampleRate READ getSampleRate WRITE setSampleRate)
    Q_PROPERTY(int Use READ getUse WRITE setUse)
    Q_PROPERTY(int Data_StationID READ getData_StationID WRITE setData_StationID)
    Q_PROPERTY(HORM_Collection<Data_ProcessData> *REF_Data_ProcessData READ getREF_Data_ProcessData RESET
                   resetREF_Data_ProcessData)
    Q_CLASSINFO("SampleDataNum", "DB")
    Q_CLASSINFO("SampleRate", "DB")
    Q_CLASSINFO("Use", "DB")
    Q_CLASSINFO("Data_StationID", "DB")
    Q_CLASSINFO("Data_StationID", "DB_INDEX")
    Q_CLASSINFO("Data_ProcessData", "DB_REFFENCE")

public:
    Data_SampleData(LibHORM *store, QObject *parent = nullptr);

    int getSampleDataNum() const { return SampleDataNum; }
    void setSampleDataNum(int value);
    int getSampleRate() const { return SampleRate; }
    void setSampleRate(int value);
    int getUse() const { return Use; }
    void setUse(int value);
    int getData_StationID() const { return Data_StationID; }
    void setData_StationID(int value);
    HORM_Collection<Data_ProcessData> *getREF_Data_ProcessData();
    void resetREF_Data_ProcessData();

    void setSampleFolder(const QString &folder);
    bool hasSampleFolder() const;
    // The registry that hands out the channel file objects; not owned.
    void setChannelFileRegistry(ChannelFileRegistry *registry);

    // False, and nothing copied, while the recording has no sample folder.
    bool setSampleInfo(const SampleInfo &info);
    // Reads "config.ini" first, so the record reflects the file.
    SampleInfo getSampleInfo();
    GPSPosition getGPS() const;
    QVector<QString> getChannelFiles() const;

    // Whether a copy succeeded, and why not.
    struct CopyReport
    {
        bool ok = true;
        QString error;
    };
    // Copies the recording's channel files into the sample folder under their saved names (n: the
    // recordings of the same rate the station held before; renameStation: named after the
    // recording's own station number). A name in use is never overwritten: the copies take the
    // first copy number from n on that is free for all of them. Returns the saved files from the
    // registry (none without one), in the order of the recording's files; stops at the first failure.
    QList<QFile *> copyChannelFiles(const SampleInfo &recording, int n, bool renameStation = false,
                                    CopyReport *report = nullptr);
    // Where copyChannelFiles will put each of the recording's files, in their order (an empty path
    // for a missing file object).
    QStringList savedPaths(const SampleInfo &recording, int n, bool renameStation = false) const;
    void readConfigFile();
    // Why the recording's "config.ini" row cannot be used (a file or sensor cell naming anything but
    // a file inside its folder), as of the last reading; empty when it can. Such a row gives no
    // channel file.
    QString rowDamage() const { return damage; }

    // The stored curves; a damaged one is left out and its channel added to damagedChannels.
    QList<ChannelImpedance> getProcessData(QList<int> *damagedChannels = nullptr);
    // Stores each curve as a new row; false, and nothing stored, for an empty list.
    bool addProcessData(const QList<ChannelImpedance> &curves);
    // Relabels every curve of channels 0 to 2 as channel 0; false when there is none, or when a
    // row cannot be written (writeFailed set; the rows after it are left as they are).
    bool convertDirectionYToX(bool *writeFailed = nullptr);

private:
    void resetSampleInfo();
    void readChannelFiles(const QStringList &names);

    int SampleDataNum = 0;
    int SampleRate = 0;
    int Use = 0;
    int Data_StationID = -1;
    HORM_Collection<Data_ProcessData> *REF_Data_ProcessData = nullptr;

    QString sampleFolder;
    int stationMachineId = 0;
    QString stationProjectName;
    GPSPosition stationPosition;
    SampleInfo sampleInfo;
    QVector<QString> channelFilePaths;
    ChannelFileRegistry *fileRegistry = nullptr;
    QString damage;
};

#endif // DATA_SAMPLEDATA_H
