#include "shell/OperatorPrompt.h"

#include "shell/DialogPromptHandler.h"

namespace {
DialogPromptHandler realDialogs;
PromptHandler *currentHandler = &realDialogs;
} // namespace

void OperatorPrompt::setHandler(PromptHandler *handler)
{
    currentHandler = handler ? handler : &realDialogs;
}

PromptAnswer OperatorPrompt::ask(QWidget *parent, const PromptRequest &request)
{
    return currentHandler->ask(parent, request);
}

void OperatorPrompt::information(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, {PromptRequest::Information, title, text, QString(), QString()});
}

void OperatorPrompt::warning(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, {PromptRequest::Warning, title, text, QString(), QString()});
}

void OperatorPrompt::critical(QWidget *parent, const QString &title, const QString &text)
{
    ask(parent, {PromptRequest::Critical, title, text, QString(), QString()});
}

bool OperatorPrompt::question(QWidget *parent, const QString &title, const QString &text)
{
    return ask(parent, {PromptRequest::Question, title, text, QString(), QString()}).accepted;
}

QString OperatorPrompt::getText(QWidget *parent, const QString &title, const QString &label, const QString &text,
                                bool *ok)
{
    const PromptAnswer answer = ask(parent, {PromptRequest::Text, title, label, text, QString()});
    if (ok)
        *ok = answer.accepted;
    return answer.text;
}

int OperatorPrompt::getInt(QWidget *parent, const QString &title, const QString &label, int value, int minimum,
                           int maximum, bool *ok)
{
    PromptRequest request{PromptRequest::Integer, title, label, QString::number(value), QString()};
    request.minimum = minimum;
    request.maximum = maximum;
    const PromptAnswer answer = ask(parent, request);
    bool number = false;
    const int entered = answer.text.toInt(&number);
    *ok = answer.accepted && number && entered >= minimum && entered <= maximum;
    return *ok ? entered : value;
}

QString OperatorPrompt::getPassword(QWidget *parent, const QString &title, const QString &label, bool *ok)
{
    const PromptAnswer answer = ask(parent, {PromptRequest::Password, title, label, QString(), QString()});
    if (ok)
        *ok = answer.accepted;
    return answer.text;
}

QString OperatorPrompt::getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir)
{
    const PromptAnswer answer = ask(parent, {PromptRequest::Directory, QString(), caption, dir, QString()});
    return answer.accepted ? answer.text : QString();
}

QString OperatorPrompt::getOpenFileName(QWidget *parent, const QString &caption, const QString &dir,
                                        const QString &filter)
{
    const PromptAnswer answer = ask(parent, {PromptRequest::OpenFile, QString(), caption, dir, filter});
    return answer.accepted ? answer.text : QString();
}
