#ifndef ERRORWORDRULES_H
#define ERRORWORDRULES_H

#include "common/MachineStatus.h"

#include <QList>
#include <QString>

#include <cstdint>

// The instrument's error word and the status report's error bits; no widgets here. The window
// stores the new sticky bits before it shows the first box, so a word that arrives while a box
// is open finds them set and shows nothing twice.

// The bits that stay until a status report shows the value back in range (and every bit above
// the self-check bit).
constexpr uint32_t transientErrorBits = 0x3F1;

enum class ErrorBoxKind { Critical, Warning, RestartQuestion };
// What follows a box: "RestartOrClear" is decided by the operator's answer to the question
// (yes restarts, no clears the flags).
enum class ErrorFollowUp { None, Restart, ClearFlags, RestartOrClear };

struct ErrorReactionStep
{
    uint32_t bit = 0;
    bool showsBox = false;
    ErrorBoxKind kind = ErrorBoxKind::Critical;
    QString title;
    QString text;
    ErrorFollowUp followUp = ErrorFollowUp::None;
};

struct ErrorWordReaction
{
    QList<ErrorReactionStep> steps; // in the order they are handled
    bool disableStart = false;      // a power, temperature or storage bit is set
    uint32_t stickyBits = 0;        // to store before any box is shown
};

// The reaction to an error word, given the sticky bits before it, the connected flag and the
// GPS state of the last status report.
ErrorWordReaction errorWordReaction(uint32_t word, uint32_t stickyBits, bool connected, int gpsStatus);

// A status report's effect on the sticky power, temperature and storage bits and on the start
// button, which is enabled exactly when none of the three remains.
struct StatusErrorBits
{
    uint32_t stickyBits = 0;
    bool startEnabled = true;
};
StatusErrorBits statusErrorBits(uint32_t stickyBits, const MachineStatus &status);

#endif // ERRORWORDRULES_H
