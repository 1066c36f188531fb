#ifndef STYLESHEETPREPROCESSOR_H
#define STYLESHEETPREPROCESSOR_H

#include <QMap>
#include <QSet>
#include <QString>
#include <QStringList>

// Turns a style sheet written with "$name: value;" definitions, "$name" references,
// "@import" clauses and comments into one plain style-sheet text. Problems never stop
// processing; they are collected as message texts.
class StyleSheetPreprocessor
{
public:
    explicit StyleSheetPreprocessor(const QString &baseDir);

    void defineVariable(const QString &name, const QString &value);
    QString process(const QString &fileName);
    const QStringList &messages() const;
    static int maxFileSize();

    // A line that needs more substitutions than this, or grows longer than maxLineLength
    // characters while references remain, holds a variable that refers to itself.
    static constexpr int maxSubstitutions = 1000;
    static constexpr int maxLineLength = 64 * 1024;

private:
    QString processFile(const QString &fileName);
    bool resolveFilePath(const QString &fileName, QString &path, QString &dir);
    bool checkAlreadyProcessed(const QString &path);
    bool readFile(const QString &path, QString &contents);
    QString processText(QString text);
    static void removeComments(QString &text);
    bool processLine(QString line, QString &output);
    bool processImport(QString &line, QString &importedText);
    bool processDefinition(QString &line);
    QString substituteVariables(QString text);
    QString variableValue(const QString &name);
    void addVariableMessage(const QString &name, const QString &text);
    void addFileMessage(const QString &file, const QString &text);
    QString currentFile() const;

    QString baseDir;
    QStringList fileStack;
    QStringList dirStack;
    QSet<QString> processedFiles;
    QMap<QString, QString> variables;
    QString currentStatement;
    QStringList messageList;
};

#endif // STYLESHEETPREPROCESSOR_H
