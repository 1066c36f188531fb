#ifndef CLOSEQUESTIONTEXT_H
#define CLOSEQUESTIONTEXT_H

#include "mainwindow/RunPhase.h"

#include <QString>

// The question before the program closes: it warns of a run still going on, and of what becomes
// of its groups, or of a finished run not yet saved.
QString closeQuestionText(RunPhase::Phase phase, bool unsavedRun);

#endif // CLOSEQUESTIONTEXT_H
