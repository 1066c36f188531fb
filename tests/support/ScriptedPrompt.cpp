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
    answer.accepted = request.kind == PromptRequest::Information || request.kind == PromptRequest::Warning
                      || request.kind == PromptRequest::Critical;
    return answer;
}
