#ifndef STATIONFILERENAMER_H
#define STATIONFILERENAMER_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class ProjectJournal;

// Renames station folders, their channel files and rewrites their "config.ini" all or nothing:
// every step is planned and checked first (each destination absent), the moves run in the order
// planned, and any failure undoes every move and every file already rewritten.
class StationFileRenamer
{
public:
    using MoveFunction = std::function<bool(const QString &from, const QString &to)>;
    // Replaces the move of files and folders (tests inject failures); nullptr restores the real one.
    static void setMoveFunction(MoveFunction move);

    // Plans renaming the "*.ats" files of the station folder now at folder and rewriting its
    // "config.ini", which will be found at finalFolder once the folders have moved.
    bool planStationFiles(const QString &folder, const QString &finalFolder, int line, double station);
    // Plans moving a folder; its destination must be absent.
    bool planFolder(const QString &from, const QString &to);
    // The folders the planned folder moves take and give: all a rename may change.
    QStringList scope() const { return folders; }
    // What the plan writes into the project folder (the journal's notes and the rewritten files).
    qint64 bytesToWrite() const;
    // Notes the planned moves and rewrites in the journal before apply.
    bool record(ProjectJournal &journal) const;
    // Runs the plan; on false nothing is changed and error says why.
    bool apply();
    // Puts back everything a successful apply changed.
    void undo();
    QString error() const { return failure; }

    // A channel file name with its "Line" and "Station" parts renumbered.
    static QString renamedFileName(const QString &name, int line, double station);
    // The configuration text with the station row's numbers and the recordings' channel file names
    // renumbered; false when the text lacks the three leading lines or the station row its numbers.
    static bool rewriteConfigText(const QByteArray &text, int line, double station, QByteArray *out);
    // The station number of a folder named "Station <number>"; false for any other name.
    static bool stationNumberOfFolder(const QString &name, double *station);

private:
    struct Move
    {
        QString from;
        QString to;
    };
    struct Rewrite
    {
        QString path;
        QByteArray before;
        QByteArray after;
    };

    bool planMove(const QString &from, const QString &to);
    bool planConfig(const QString &path, const QString &finalPath, int line, double station);
    bool refuse(const QString &reason);
    bool runMoves();
    bool runRewrites();

    QList<Move> moves;
    QList<Rewrite> rewrites;
    QStringList folders;
    QString failure;
    int moved = 0;
    int rewritten = 0;
};

#endif // STATIONFILERENAMER_H
