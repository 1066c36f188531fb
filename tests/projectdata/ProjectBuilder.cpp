#include "ProjectBuilder.h"

ProjectBuilder::ProjectBuilder(LibHORM &store)
{
    createTables(store);
    projects = std::make_unique<HORM_Collection<Data_Project>>(&store);
    if (projects->count() == 0)
        projects->addNew();
}

ProjectBuilder::~ProjectBuilder() = default;

bool ProjectBuilder::createTables(LibHORM &store)
{
    bool created = true;
    for (const QMetaObject *meta : {&Data_Project::staticMetaObject, &Data_Line::staticMetaObject,
                                    &Data_Station::staticMetaObject, &Data_SampleData::staticMetaObject,
                                    &Data_ProcessData::staticMetaObject})
        created = store.createTable(meta) && created;
    return created;
}

Data_Project *ProjectBuilder::project()
{
    return projects->at(0).object;
}

Data_Line *ProjectBuilder::addLine(int lineName)
{
    Data_Line *line = project()->getREF_Data_Line()->addNew().object;
    line->setLineName(lineName);
    line->setData_ProjectID(project()->getID());
    line->setUse(1);
    line->updateRow();
    return line;
}

Data_Station *ProjectBuilder::addStation(Data_Line *line, double stationNum)
{
    Data_Station *station = line->getREF_Data_Station()->addNew().object;
    station->setStationNum(stationNum);
    station->setUse(1);
    station->updateRow();
    return station;
}

Data_SampleData *ProjectBuilder::addRecording(Data_Station *station, int sampleRate, int use)
{
    HORM_Collection<Data_SampleData> *recordings = station->getREF_Data_SampleData();
    Data_SampleData *recording = recordings->addNew().object;
    recording->setSampleDataNum(recordings->count());
    recording->setSampleRate(sampleRate);
    recording->setUse(use);
    recording->updateRow();
    station->setSampleNumbers(recordings->count());
    station->updateRow();
    return recording;
}
