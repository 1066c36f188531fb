#ifndef STATIONOPERATIONS_H
#define STATIONOPERATIONS_H

#include <QList>
#include <QString>

// What runs on the stations of the open project. Every operation asks here before it starts and
// is refused while a conflicting one runs on the same station or line; only readers of the
// channel files (an export, a calculation) and an export beside a save or conversion may overlap.
class StationOperations
{
public:
    enum Kind { Calculation, Export, Rename, Conversion, Save };

    // Registers the operation on one station, or on every station of the line when wholeLine; its
    // id, or 0 with refusal set to the operator's message when a conflicting one runs.
    quint64 begin(Kind kind, int line, double station, QString *refusal);
    quint64 beginLine(Kind kind, int line, QString *refusal);
    // The operator's message when the operation could not begin now, empty when it could.
    QString conflict(Kind kind, int line, double station) const;
    void end(quint64 id);
    void clear();

    // Ends the operation when it leaves scope; an id of 0 ends nothing.
    class Guard
    {
    public:
        Guard(StationOperations &operations, quint64 id) : operations(operations), id(id) {}
        ~Guard() { operations.end(id); }
        Guard(const Guard &) = delete;
        Guard &operator=(const Guard &) = delete;

    private:
        StationOperations &operations;
        quint64 id;
    };

private:
    struct Entry
    {
        quint64 id = 0;
        Kind kind = Calculation;
        int line = 0;
        bool wholeLine = false;
        double station = 0;
    };

    const Entry *conflicting(const Entry &wanted) const;
    QString refusalText(const Entry &wanted, const Entry &runs) const;
    quint64 add(const Entry &wanted, QString *refusal);

    QList<Entry> running;
    quint64 nextId = 1;
};

#endif // STATIONOPERATIONS_H
