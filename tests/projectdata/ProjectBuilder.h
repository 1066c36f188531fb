#ifndef PROJECTBUILDER_H
#define PROJECTBUILDER_H

#include "projectdata/Data_Project.h"

#include <memory>

// Fills a project database the way saving runs does: the five tables, one project row, then
// lines, stations, recordings and curves on request.
class ProjectBuilder
{
public:
    // Creates the tables and, when the database has none, the project row.
    explicit ProjectBuilder(LibHORM &store);
    ~ProjectBuilder();

    Data_Project *project();
    Data_Line *addLine(int lineName);
    Data_Station *addStation(Data_Line *line, double stationNum);
    // The next recording of the station, numbered after the ones it has.
    Data_SampleData *addRecording(Data_Station *station, int sampleRate, int use = 1);

    static bool createTables(LibHORM &store);

private:
    std::unique_ptr<HORM_Collection<Data_Project>> projects;
};

#endif // PROJECTBUILDER_H
