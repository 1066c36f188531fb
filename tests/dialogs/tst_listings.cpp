#include "dialogs/DeviceListing.h"

#include <QRandomGenerator>
#include <QtTest>

using namespace DeviceListing;

Q_DECLARE_METATYPE(QList<DeviceListing::CheckedProject>)

namespace {

// "project|line:station,station|line" summary of a walk, with the texts as listed.
QString summary(const QList<ProjectEntry> &projects)
{
    QStringList out;
    for (const ProjectEntry &project : projects) {
        QStringList parts{project.id + "=" + project.name};
        for (const LineEntry &line : project.lines) {
            QStringList stations;
            for (const StationEntry &station : line.stations)
                stations << station.text + (station.parsed ? "" : "?");
            parts << line.text + (line.parsed ? "" : "?") + ":" + stations.join(',');
        }
        out << parts.join('|');
    }
    return out.join(" / ");
}

QString recordSummary(const QList<DeviceProjectInfo> &records)
{
    QStringList out;
    for (const DeviceProjectInfo &record : records) {
        QStringList parts{record.projectId + "=" + record.projectName};
        for (const DeviceLineInfo &line : record.lines) {
            QStringList stations;
            for (double station : line.stations)
                stations << QString::number(station);
            parts << QString::number(line.lineNum) + ":" + stations.join(',');
        }
        out << parts.join('|');
    }
    return out.join(" / ");
}

CheckedStation station(double number, Qt::CheckState state)
{
    return {number, state};
}

} // namespace

class TestListings : public QObject
{
    Q_OBJECT
private slots:
    void projectList_data();
    void projectList();
    void storageListing_data();
    void storageListing();
    void hostileBytesDoNotCrash();
    void stationNumberText_data();
    void stationNumberText();
    void deleteRequest_data();
    void deleteRequest();
};

void TestListings::projectList_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("names"); // id=name in map order
    QTest::addColumn<QStringList>("ids");
    QTest::newRow("CR LF") << QByteArray("ProjectID:AMT_1 ProjectName:North\r\nProjectID:AMT_2 ProjectName:South\r\n")
                           << "AMT_1=North,AMT_2=South" << QStringList{"AMT_1", "AMT_2"};
    QTest::newRow("LF, no final end") << QByteArray("ProjectID:AMT_1 ProjectName:North\nProjectID:AMT_2 ProjectName:South")
                                      << "AMT_1=North,AMT_2=South" << QStringList{"AMT_1", "AMT_2"};
    QTest::newRow("extra parts and spaces") << QByteArray("ProjectID:A   ProjectName:N extra words\n")
                                            << "A=N" << QStringList{"A"};
    QTest::newRow("no second part") << QByteArray("ProjectID:A\n") << "" << QStringList();
    QTest::newRow("tab does not separate") << QByteArray("ProjectID:A\tProjectName:N\n") << "" << QStringList();
    QTest::newRow("duplicate id: later name, listed twice")
        << QByteArray("ProjectID:A ProjectName:One\nProjectID:A ProjectName:Two\n") << "A=Two" << QStringList{"A", "A"};
    QTest::newRow("wrong case") << QByteArray("projectid:A ProjectName:N\n") << "" << QStringList();
}

void TestListings::projectList()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, names);
    QFETCH(QStringList, ids);
    const ProjectNames parsed = parseProjectNameList(text);
    QStringList pairs;
    for (auto it = parsed.nameById.cbegin(); it != parsed.nameById.cend(); ++it)
        pairs << it.key() + "=" + it.value();
    QCOMPARE(pairs.join(','), names);
    QCOMPARE(parsed.ids, ids);
}

void TestListings::storageListing_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("records");
    QTest::newRow("two lines")
        << QByteArray("AMT_A/\r\nLine_1/\r\nPoint_100/\r\nPoint_125/\r\nLine_2/\r\nPoint_100/\r\n")
        << "AMT_A=North|1:100,125|2:100" << "AMT_A=North|1:100,125|2:100";
    QTest::newRow("line without stations after the last station")
        << QByteArray("AMT_A/\nLine_1/\nPoint_100/\nLine_2/\n") << "AMT_A=North|1:100|2:" << "AMT_A=North|1:100";
    QTest::newRow("project without stations") << QByteArray("AMT_A/\nLine_1/\n") << "AMT_A=North|1:" << "AMT_A=North";
    QTest::newRow("unknown project") << QByteArray("AMT_X/\nLine_1/\nPoint_5/\n") << "AMT_X=?|1:5" << "AMT_X=?|1:5";
    QTest::newRow("trial line hidden")
        << QByteArray("AMT_A/\nLine_42017259/\nPoint_0/\nLine_3/\nPoint_7/\n") << "AMT_A=North|3:7" << "AMT_A=North|3:7";
    QTest::newRow("every station under the trial line skipped")
        << QByteArray("AMT_A/\nLine_1/\nLine_42017259/\nPoint_0/\nPoint_9/\n") << "AMT_A=North|1:" << "AMT_A=North";
    QTest::newRow("orphan line and station")
        << QByteArray("Line_9/\nPoint_1/\nAMT_A/\nPoint_2/\nLine_1/\nPoint_3/\n") << "AMT_A=North|1:3"
        << "AMT_A=North|1:3";
    QTest::newRow("project entry clears the current line")
        << QByteArray("AMT_A/\nLine_1/\nAMT_B/\nPoint_2/\n") << "AMT_A=North|1: / AMT_B=?" << "AMT_A=North / AMT_B=?";
    QTest::newRow("leading zeros and unparsable numbers")
        << QByteArray("AMT_A/\nLine_007/\nPoint_abc/\nLine_x1/\nPoint_5/\n") << "AMT_A=North|007:abc?|x1?:5"
        << "AMT_A=North|7:0|0:5";
    QTest::newRow("white space simplified, any last character")
        << QByteArray("  AMT_A;\n\tLine_ 1 X\nPoint_ 12.5  Y \n") << "AMT_A=North| 1 : 12.5 " << "AMT_A=North|1:12.5";
    QTest::newRow("NUL and invalid UTF-8") << QByteArray("AMT_A/\nLine_1/\nPoint_\xff\xfe/\n\0\0Point_4/\n", 33)
                                           << "AMT_A=North|1:\xef\xbf\xbd\xef\xbf\xbd?,\xef\xbf\xbd\xef\xbf\xbd"
                                              "4?" << "";
}

void TestListings::storageListing()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, tree);
    QFETCH(QString, records);
    const QMap<QString, QString> names{{"AMT_A", "North"}};
    const QList<ProjectEntry> projects = parseStorageListing(text, names, "?");
    if (QByteArray(QTest::currentDataTag()).startsWith("NUL"))
        return; // only the absence of a crash matters for broken bytes
    QCOMPARE(summary(projects), tree);
    QCOMPARE(recordSummary(toReadBackRecords(projects)), records);
}

void TestListings::hostileBytesDoNotCrash()
{
    QByteArray noise(1 << 20, '\0');
    QRandomGenerator random(20261210);
    for (char &byte : noise)
        byte = char(random.bounded(256));
    // Sprinkle the tokens so the walk takes every branch.
    for (int at = 0; at + 8 < noise.size(); at += 4099)
        noise.replace(at, 6, QByteArray("\nLine_", 6));
    for (int at = 1000; at + 8 < noise.size(); at += 7001)
        noise.replace(at, 7, QByteArray("\nPoint_", 7));
    noise.replace(0, 5, "AMT_\n");
    parseProjectNameList(noise);
    const auto projects = parseStorageListing(noise, {}, "UnKnown");
    toReadBackRecords(projects);
    QVERIFY(!projects.isEmpty());
}

void TestListings::stationNumberText_data()
{
    QTest::addColumn<double>("number");
    QTest::addColumn<QString>("text");
    QTest::newRow("integer") << 100.0 << "100";
    QTest::newRow("fraction") << 12.5 << "12.5";
    QTest::newRow("one million") << 1e6 << "1e+06";
    QTest::newRow("needs seven digits") << 1234567.0 << "1234567";
    QTest::newRow("negative") << -25.0 << "-25";
    QTest::newRow("small") << 0.0001 << "0.0001";
}

void TestListings::stationNumberText()
{
    QFETCH(double, number);
    QFETCH(QString, text);
    QCOMPARE(formatStationNumber(number), text);
}

void TestListings::deleteRequest_data()
{
    QTest::addColumn<QList<CheckedProject>>("projects");
    QTest::addColumn<QByteArray>("request");
    const CheckedLine line3{3, Qt::Checked, {station(1, Qt::Checked)}};
    const CheckedLine line5{5, Qt::PartiallyChecked,
                            {station(100, Qt::Checked), station(110, Qt::Unchecked), station(125.5, Qt::Checked)}};
    QTest::newRow("whole project") << QList<CheckedProject>{{"AMT_A", Qt::Checked, {line3}}}
                                   << QByteArray("ProjectID=AMT_A\r\nLineNum=ALL\r\nStationNum=ALL\r\n");
    QTest::newRow("whole line and stations")
        << QList<CheckedProject>{{"AMT_A", Qt::PartiallyChecked, {line3, line5}}}
        << QByteArray("ProjectID=AMT_A\r\nLineNum=3\r\nStationNum=ALL\r\nLineNum=5\r\nStationNum=100\r\n"
                      "StationNum=125.5\r\n");
    QTest::newRow("exponent form") << QList<CheckedProject>{{"P", Qt::PartiallyChecked,
                                                             {{-2, Qt::PartiallyChecked, {station(1e6, Qt::Checked)}}}}}
                                   << QByteArray("ProjectID=P\r\nLineNum=-2\r\nStationNum=1e+06\r\n");
    QTest::newRow("nothing checked") << QList<CheckedProject>{{"P", Qt::Unchecked, {line3}}} << QByteArray();
    QTest::newRow("partial project with nothing under it")
        << QList<CheckedProject>{{"P", Qt::PartiallyChecked, {{4, Qt::PartiallyChecked, {station(1, Qt::Unchecked)}}}}}
        << QByteArray();
    QTest::newRow("partial line without checked station is left out")
        << QList<CheckedProject>{{"P", Qt::PartiallyChecked,
                                  {{4, Qt::PartiallyChecked, {station(1, Qt::Unchecked)}}, line3}}}
        << QByteArray("ProjectID=P\r\nLineNum=3\r\nStationNum=ALL\r\n");
    QTest::newRow("two projects") << QList<CheckedProject>{{"A", Qt::Checked, {}}, {"B", Qt::Checked, {}}}
                                  << QByteArray("ProjectID=A\r\nLineNum=ALL\r\nStationNum=ALL\r\n"
                                                "ProjectID=B\r\nLineNum=ALL\r\nStationNum=ALL\r\n");
}

void TestListings::deleteRequest()
{
    QFETCH(QList<CheckedProject>, projects);
    QFETCH(QByteArray, request);
    QCOMPARE(buildDeleteRequest(projects), request);
}

QTEST_APPLESS_MAIN(TestListings)
#include "tst_listings.moc"
