// The project folder's journal: a rename's record, and the recovery of a change cut off by a crash.
#include "projectdata/DataModel_Index.h"

#include "projectdata/ProjectFilesCheck.h"
#include "projectdata/ProjectJournal.h"
#include "projectdata/StationFileRenamer.h"
#include "shell/OperatorPrompt.h"
#include "store/LibHORM.h"

#include <QSqlDatabase>

namespace {

// A record that cannot be trusted changes nothing. The operator may move it aside; the folders are
// then checked against the database, and saves and renames go on.
void offerToSetAside(const QString &projectDir, const QString &dataDir, QSqlDatabase &db, const QString &why)
{
    const QString record = ProjectJournal::pathIn(projectDir);
    const QString question =
        DataModel_Index::tr("上次保存数据或修改点线号时程序被中断，但记录那次修改的%1已损坏，不能据此恢复：\n%2\n"
                            "程序没有改动任何文件。\n\n是否把它移到%1.bad（保留备查）？移开后将检查工程文件夹，"
                            "并允许保存数据和修改点线号。选择“否”则保留它，保存数据和修改点线号仍被拒绝。")
            .arg(record, why);
    if (!OperatorPrompt::question(nullptr, DataModel_Index::tr("提示"), question))
        return;
    QString aside;
    QString error;
    if (!ProjectJournal::setAside(projectDir, &aside, &error)) {
        OperatorPrompt::warning(nullptr, DataModel_Index::tr("提示"),
                                DataModel_Index::tr("%1\n保存数据和修改点线号仍被拒绝。").arg(error));
        return;
    }
    const QStringList problems = ProjectFilesCheck::mismatches(db, dataDir);
    const QString result =
        problems.isEmpty()
            ? DataModel_Index::tr("工程检查：测点文件夹与工程数据库一致。")
            : DataModel_Index::tr("工程检查发现以下测点文件夹与工程数据库不一致，可能是那次被中断的修改留下的，请核对：\n%1")
                  .arg(problems.join(QLatin1Char('\n')));
    OperatorPrompt::information(nullptr, DataModel_Index::tr("提示"),
                                DataModel_Index::tr("已把%1移到%2。\n%3").arg(record, aside, result));
}

} // namespace

// A save or rename cut off by a crash left its record: the database has rolled back (or committed),
// and the files follow it.
void DataModel_Index::recoverInterruptedChange()
{
    QString error;
    switch (ProjectJournal::recover(projectDir, *store->database(), &error)) {
    case ProjectJournal::Recovery::Undone:
        OperatorPrompt::information(nullptr, tr("提示"),
                                    tr("上次保存数据或修改点线号时程序被中断，工程文件夹已恢复到那次修改之前的状态。"));
        break;
    case ProjectJournal::Recovery::Failed:
        OperatorPrompt::warning(nullptr, tr("提示"),
                                tr("上次保存数据或修改点线号时程序被中断，工程文件夹无法完全恢复：\n%1\n"
                                   "恢复之前不能保存数据或修改点线号，请关闭占用工程文件夹的程序后重新打开工程。")
                                    .arg(error));
        break;
    case ProjectJournal::Recovery::Damaged:
        offerToSetAside(projectDir, dataDir, *store->database(), error);
        break;
    case ProjectJournal::Recovery::Nothing:
    case ProjectJournal::Recovery::Committed:
        break;
    }
}

// Records the planned moves and rewrites of a rename whose database change is the row's new number.
bool DataModel_Index::beginRenameJournal(ProjectJournal &journal, HORM_BaseObject *row, StationFileRenamer &renamer,
                                         QString *error)
{
    const QString table = QString::fromLatin1(row->metaObject()->className());
    const QString column = table == QLatin1String("Data_Station") ? QStringLiteral("StationNum") : QStringLiteral("LineName");
    const ProjectJournal::Commit commit =
        ProjectJournal::Commit::value(table, row->getID(), column, row->property(column.toLatin1().constData()));
    // A refused plan changes nothing: no record for it.
    if (!renamer.error().isEmpty()) {
        *error = renamer.error();
        return false;
    }
    if (!journal.begin(commit, renamer.scope(), error))
        return false;
    if (renamer.record(journal))
        return true;
    journal.undo(nullptr);
    *error = tr("无法写入%1").arg(ProjectJournal::pathIn(projectDir));
    return false;
}
