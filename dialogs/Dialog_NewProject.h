#ifndef DIALOG_NEWPROJECT_H
#define DIALOG_NEWPROJECT_H

#include "common/ProjectConfig.h"

#include <QDialog>

namespace Ui {
class Dialog_NewProject;
}
class QRegExpValidator;

// Creates a survey project's folders and hands out its header and database path.
class Dialog_NewProject : public QDialog
{
    Q_OBJECT
public:
    explicit Dialog_NewProject(QWidget *parent = nullptr);
    ~Dialog_NewProject() override;

    void newProjectDialogShow();
    void realClose();
    ProjectConfig getProjectConfig() const;
    QString getProjectPath() const;

signals:
    void sigalNewProject(QString projectPath);

public slots:
    void selectProjectDir();
    void NewProject();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    // The refusal text of the first failing check, or an empty text when the folders exist.
    QString checkFieldsAndCreateFolders() const;
    bool makeFolder(const QString &path) const;

    Ui::Dialog_NewProject *ui;
    ProjectConfig projectConfig;
    QString projectPath;
    bool mayClose = false;
    QRegExpValidator *nameValidator;
    QRegExpValidator *textValidator;
};

#endif // DIALOG_NEWPROJECT_H
