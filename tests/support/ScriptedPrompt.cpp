#include "ScriptedPrompt.h"

ScriptedPrompt::ScriptedPrompt()
{
    OperatorPrompt::setHandler(this);
}

ScriptedPrompt::~ScriptedPrompt()
{
    OperatorPrompt::setHandler(nullptr);
}

PromptAnswer ScriptedPrompt::ask(QWidget *, const PromptRequest &request)
{
    asked.append(request);
    if (onAsk)
        onAsk(request);
    if (!answers.isEmpty())
        return answers.dequeue();
    PromptAnswer answer;
    answer.accepted = request.kind != PromptRequest::Question && request.kind != PromptRequest::Text
                      && request.kind != PromptRequest::Integer
                      && request.kind != PromptRequest::Directory && request.kind != PromptRequest::OpenFile;
    return answer;
}
