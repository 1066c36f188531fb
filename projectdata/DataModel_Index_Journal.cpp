// The project folder's journal: a rename's record, and the recovery of a change cut off by a crash.
#include "projectdata/DataModel_Index.h"

#include "projectdata/ProjectJournal.h"
#include "projectdata/StationFileRenamer.h"
#include "shell/OperatorPrompt.h"
#include "store/LibHORM.h"

#include <QSqlDatabase>

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
    if (!journal.begin(commit, error))
        return false;
    if (renamer.record(journal))
        return true;
    journal.undo(nullptr);
    *error = tr("无法写入%1").arg(ProjectJournal::pathIn(projectDir));
    return false;
}
