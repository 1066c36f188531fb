#ifndef SCRIPTEDPROMPT_H
#define SCRIPTEDPROMPT_H

#include "shell/OperatorPrompt.h"

#include <QList>
#include <QQueue>

#include <functional>

// Installs itself as the operator prompt for its lifetime: answers from a script and
// records every request, so no test ever blocks on a real modal box.
// Without a scripted answer a question is answered "否", a text, folder or file request is cancelled
// and a message box is acknowledged.
class ScriptedPrompt : public PromptHandler
{
public:
    ScriptedPrompt();
    ~ScriptedPrompt() override;

    void expectYes() { answers.enqueue({true, QString()}); }
    void expectNo() { answers.enqueue({false, QString()}); }
    void expectText(const QString &text) { answers.enqueue({true, text}); }
    void expectInt(int value) { answers.enqueue({true, QString::number(value)}); }
    void expectCancel() { answers.enqueue({false, QString()}); }

    PromptAnswer ask(QWidget *parent, const PromptRequest &request) override;

    QList<PromptRequest> asked;
    int count() const { return asked.size(); }
    const PromptRequest &last() const { return asked.last(); }
    // Runs while a request is being answered (for example to change state under a box).
    std::function<void(const PromptRequest &)> onAsk;

private:
    QQueue<PromptAnswer> answers;
};

#endif // SCRIPTEDPROMPT_H
