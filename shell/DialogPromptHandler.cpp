#include "shell/DialogPromptHandler.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

PromptAnswer askYesNo(QWidget *parent, const PromptRequest &request)
{
    QMessageBox box(QMessageBox::Question, request.title, request.text, QMessageBox::NoButton, parent);
    QPushButton *yes = box.addButton(QObject::tr("是"), QMessageBox::YesRole);
    box.addButton(QObject::tr("否"), QMessageBox::NoRole);
    box.exec();
    PromptAnswer answer;
    answer.accepted = box.clickedButton() == yes;
    return answer;
}

QMessageBox::Icon iconFor(PromptRequest::Kind kind)
{
    switch (kind) {
    case PromptRequest::Warning:
        return QMessageBox::Warning;
    case PromptRequest::Critical:
        return QMessageBox::Critical;
    default:
        return QMessageBox::Information;
    }
}

// A message box's only button reads "确定", with or without the toolkit's translation.
PromptAnswer showMessage(QWidget *parent, const PromptRequest &request)
{
    QMessageBox box(iconFor(request.kind), request.title, request.text, QMessageBox::NoButton, parent);
    box.addButton(QObject::tr("确定"), QMessageBox::AcceptRole);
    box.exec();
    PromptAnswer answer;
    answer.accepted = true;
    return answer;
}

PromptAnswer askPassword(QWidget *parent, const PromptRequest &request)
{
    QInputDialog dialog(parent);
    dialog.setOkButtonText(QObject::tr("确定"));
    dialog.setCancelButtonText(QObject::tr("取消"));
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(request.text);
    dialog.setTextValue(QString());
    dialog.setTextEchoMode(QLineEdit::Password);
    PromptAnswer answer;
    answer.accepted = dialog.exec() == QDialog::Accepted;
    answer.text = dialog.textValue();
    return answer;
}

} // namespace

PromptAnswer DialogPromptHandler::ask(QWidget *parent, const PromptRequest &request)
{
    PromptAnswer answer;
    switch (request.kind) {
    case PromptRequest::Question:
        return askYesNo(parent, request);
    case PromptRequest::Text:
        answer.text = QInputDialog::getText(parent, request.title, request.text, QLineEdit::Normal,
                                            request.initial, &answer.accepted);
        return answer;
    case PromptRequest::Integer:
        answer.text = QString::number(QInputDialog::getInt(parent, request.title, request.text, request.initial.toInt(),
                                                           request.minimum, request.maximum, 1, &answer.accepted));
        return answer;
    case PromptRequest::Password:
        return askPassword(parent, request);
    case PromptRequest::Directory:
        answer.text = QFileDialog::getExistingDirectory(parent, request.text, request.initial);
        answer.accepted = !answer.text.isEmpty();
        return answer;
    case PromptRequest::OpenFile:
        answer.text = QFileDialog::getOpenFileName(parent, request.text, request.initial, request.filter);
        answer.accepted = !answer.text.isEmpty();
        return answer;
    default:
        return showMessage(parent, request);
    }
}
