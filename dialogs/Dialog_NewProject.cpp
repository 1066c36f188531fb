#include "dialogs/Dialog_NewProject.h"

#include "ui_Dialog_NewProject.h"

#include "common/Clock.h"
#include "dialogs/DialogCloseGuard.h"
#include "shell/OperatorPrompt.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegExpValidator>
#include <QRegularExpression>

namespace {

// The name becomes a folder and a file name: letters and digits only, whatever reached the field.
const QRegularExpression projectNamePattern("^[A-Za-z0-9]{1,25}$");
const QRegularExpression sitePattern(QString::fromUtf8("^[A-Za-z0-9\\x{4E00}-\\x{9FA5}]+$"));

} // namespace

Dialog_NewProject::Dialog_NewProject(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_NewProject)
{
    ui->setupUi(this);
    nameValidator = new QRegExpValidator(QRegExp("[a-zA-Z0-9]{25}"), this);
    textValidator = new QRegExpValidator(
        QRegExp(QString::fromUtf8("^(?![\\《\\》\\，\\、\\。\\；\\：\\‘\\’\\“\\”\\？\\【\\】\\（\\）\\-\\—])"
                                  "[a-zA-Z0-9一-龥]+$")),
        this);
    ui->lineEdit_ProjectName->setValidator(nameValidator);
    ui->lineEdit_ProjectArea->setValidator(textValidator);
    ui->lineEdit_OperatorName->setValidator(textValidator);
    setWindowTitle(tr("新建工程"));
    connect(ui->btn_Confirm, &QPushButton::clicked, this, &Dialog_NewProject::NewProject);
    connect(ui->btn_ProjectDir, &QPushButton::clicked, this, &Dialog_NewProject::selectProjectDir);
    connect(ui->btn_Cancel, &QPushButton::clicked, this, &Dialog_NewProject::realClose);
}

Dialog_NewProject::~Dialog_NewProject()
{
    delete ui;
}

void Dialog_NewProject::newProjectDialogShow()
{
    if (ui->lineEdit_ProjectDir->text().isEmpty())
        ui->lineEdit_ProjectDir->setText(QCoreApplication::applicationDirPath());
    ui->lineEdit_ProjectName->clear();
    ui->dateEdit_ProjectTime->setDate(Clock::now().date());
    ui->btn_Confirm->setFocus();
    exec();
}

void Dialog_NewProject::selectProjectDir()
{
    const QString dir = OperatorPrompt::getExistingDirectory(this, tr("选择工程文件夹"));
    if (!dir.isEmpty())
        ui->lineEdit_ProjectDir->setText(dir);
}

bool Dialog_NewProject::makeFolder(const QString &path) const
{
    QDir dir(path);
    return dir.exists() || QDir().mkdir(path);
}

QString Dialog_NewProject::checkFieldsAndCreateFolders() const
{
    const QString directory = ui->lineEdit_ProjectDir->text();
    if (directory.isEmpty())
        return tr("工程目录不能为空，请填写正确的工程目录！");
    if (!makeFolder(directory))
        return tr("工程目录无法建立！");
    const QString name = ui->lineEdit_ProjectName->text();
    if (name.isEmpty())
        return tr("工程名不能为空，请填写工程名! ");
    if (!projectNamePattern.match(name).hasMatch())
        return tr("工程名只能由字母和数字组成！");
    const QString projectFolder = directory + "/" + name;
    const QString database = projectFolder + "/" + name + ".HMT";
    if (QFileInfo::exists(database))
        return tr("%1已有工程，新建工程不会覆盖它，请另选工程名或工程目录！").arg(QDir::toNativeSeparators(database));
    if (!makeFolder(projectFolder))
        return tr("工程名的目录无法建立！");
    if (!makeFolder(projectFolder + "/data"))
        return tr("原始数据目录无法建立！");
    const QString site = ui->lineEdit_ProjectArea->text();
    if (site.isEmpty())
        return tr("工程地点不存在，请填写工程地点！");
    if (!sitePattern.match(site).hasMatch())
        return tr("工程地点只能由字母、数字和汉字组成！");
    const QString operatorName = ui->lineEdit_OperatorName->text();
    if (operatorName.isEmpty())
        return tr("操作员姓名不存在，请填写操作员姓名！");
    if (!sitePattern.match(operatorName).hasMatch())
        return tr("操作员姓名只能由字母、数字和汉字组成！");
    return QString();
}

void Dialog_NewProject::NewProject()
{
    const QString failure = checkFieldsAndCreateFolders();
    if (!failure.isEmpty()) {
        OperatorPrompt::critical(this, tr("参数错误"), failure);
        return;
    }
    const QString name = ui->lineEdit_ProjectName->text();
    const QString projectFolder = ui->lineEdit_ProjectDir->text() + "/" + name;
    projectConfig.ProjectId = QString("AMT_%1").arg(Clock::now().toString("yyyy_MM_dd_hh_mm"));
    projectConfig.ProjectName = name;
    projectConfig.ProjectAddress = ui->lineEdit_ProjectArea->text();
    projectConfig.ProjectDate = ui->dateEdit_ProjectTime->date();
    projectConfig.OperatorName = ui->lineEdit_OperatorName->text();
    mayClose = true;
    close();
    projectPath = projectFolder + "/" + name + ".HMT";
    emit sigalNewProject(projectPath);
}

void Dialog_NewProject::realClose()
{
    mayClose = true;
    close();
}

ProjectConfig Dialog_NewProject::getProjectConfig() const
{
    return projectConfig;
}

QString Dialog_NewProject::getProjectPath() const
{
    return projectPath;
}

void Dialog_NewProject::closeEvent(QCloseEvent *event)
{
    acceptCloseOnlyIfAllowed(mayClose, event);
}
