#ifndef DIALOGPROMPTHANDLER_H
#define DIALOGPROMPTHANDLER_H

#include "shell/OperatorPrompt.h"

// Asks through the toolkit's real modal dialogs.
class DialogPromptHandler : public PromptHandler
{
public:
    PromptAnswer ask(QWidget *parent, const PromptRequest &request) override;
};

#endif // DIALOGPROMPTHANDLER_H
