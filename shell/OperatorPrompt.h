#ifndef OPERATORPROMPT_H
#define OPERATORPROMPT_H

#include <QString>

class QWidget;

// What the program asks the operator.
struct PromptRequest
{
    enum Kind { Information, Warning, Critical, Question, Text, Integer, Password, Directory, OpenFile };
    Kind kind = Information;
    QString title;
    QString text;    // message, question, input label or chooser caption
    QString initial; // input dialog's text or the chooser's start folder
    QString filter;  // file chooser's name filter
    int minimum = 0; // integer input's range
    int maximum = 0;
};

struct PromptAnswer
{
    bool accepted = false; // "是", "确定", or a chosen folder or file
    QString text;          // entered text, chosen folder or file
};

// Shows the request and returns the operator's answer. Tests install a scripted one.
class PromptHandler
{
public:
    virtual ~PromptHandler() = default;
    virtual PromptAnswer ask(QWidget *parent, const PromptRequest &request) = 0;
};

// The one way the program shows a modal box, asks a yes/no question ("是"/"否"),
// asks for a text or a folder.
class OperatorPrompt
{
public:
    static void information(QWidget *parent, const QString &title, const QString &text);
    static void warning(QWidget *parent, const QString &title, const QString &text);
    static void critical(QWidget *parent, const QString &title, const QString &text);
    // True when the operator answers "是".
    static bool question(QWidget *parent, const QString &title, const QString &text);
    // The entered text; ok reports whether the operator confirmed.
    static QString getText(QWidget *parent, const QString &title, const QString &label,
                           const QString &text = QString(), bool *ok = nullptr);
    // The entered integer within minimum..maximum; ok reports whether the operator confirmed.
    static int getInt(QWidget *parent, const QString &title, const QString &label, int value, int minimum,
                      int maximum, bool *ok);
    // A text typed with password echo into an empty field ("确定"/"取消"); ok as for getText.
    static QString getPassword(QWidget *parent, const QString &title, const QString &label, bool *ok);
    // The chosen folder, or an empty text when cancelled.
    static QString getExistingDirectory(QWidget *parent, const QString &caption, const QString &dir = QString());
    // The chosen existing file, or an empty text when cancelled.
    static QString getOpenFileName(QWidget *parent, const QString &caption, const QString &dir, const QString &filter);

    // Replaces the handler (not owned); nullptr puts the real dialogs back.
    static void setHandler(PromptHandler *handler);

private:
    static PromptAnswer ask(QWidget *parent, const PromptRequest &request);
};

#endif // OPERATORPROMPT_H
