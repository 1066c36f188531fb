#include "shell/StyleSheetPreprocessor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

namespace {

const QString defaultBaseDir = QStringLiteral(":/StyleSheets/");
const QString variablePatternText = QStringLiteral("\\$[A-Za-z](?:-?[0-9A-Za-z]+)*");
const QRegularExpression commentPattern(QStringLiteral("/\\*(?>(?:(?>[^*]+)|\\*(?!/))*)\\*/"),
                                        QRegularExpression::MultilineOption);
const QRegularExpression trailingBlanksPattern(QStringLiteral("\\s+$"));
const QRegularExpression variablePattern(variablePatternText);
const QRegularExpression definitionPattern(
    QStringLiteral("^(\\s*)(%1)\\s*:\\s*(.+?)\\s*;\\s*").arg(variablePatternText));
// Group 2 is the quote; the name (group 3) ends at the next occurrence of that same quote.
const QRegularExpression importPattern(
    QStringLiteral("^(\\s*)@import\\s*%1\\s*(;?)\\s*").arg(QStringLiteral("([\"'])((?:(?!\\2).)*)\\2")));

bool isBlank(const QString &text)
{
    return text.trimmed().isEmpty();
}

} // namespace

StyleSheetPreprocessor::StyleSheetPreprocessor(const QString &baseDir)
    : baseDir(baseDir.isEmpty() ? defaultBaseDir : baseDir)
{
}

void StyleSheetPreprocessor::defineVariable(const QString &name, const QString &value)
{
    if (variables.contains(name)) {
        addVariableMessage(name, QStringLiteral("is already defined."));
        return;
    }
    variables.insert(name, value);
}

QString StyleSheetPreprocessor::process(const QString &fileName)
{
    processedFiles.clear();
    messageList.clear();
    if (fileName.isEmpty()) {
        addFileMessage(fileName, QStringLiteral("will be ignored - empty style sheet file name."));
        return QString();
    }
    return processFile(fileName);
}

const QStringList &StyleSheetPreprocessor::messages() const
{
    return messageList;
}

int StyleSheetPreprocessor::maxFileSize()
{
    return 1000000;
}

QString StyleSheetPreprocessor::processFile(const QString &fileName)
{
    QString path;
    QString dir;
    if (!resolveFilePath(fileName, path, dir))
        return QString();
    if (checkAlreadyProcessed(path))
        return QString();
    processedFiles.insert(path);
    fileStack.append(path);
    dirStack.append(dir);
    QString contents;
    const QString result = readFile(path, contents) ? processText(contents) : QString();
    fileStack.removeLast();
    dirStack.removeLast();
    return result;
}

bool StyleSheetPreprocessor::resolveFilePath(const QString &fileName, QString &path, QString &dir)
{
    QString candidate = fileName;
    if (QFileInfo(fileName).isRelative() && !dirStack.isEmpty())
        candidate = QDir(dirStack.last()).filePath(fileName);
    const QFileInfo candidateInfo(candidate);
    dir = QDir(candidateInfo.path()).canonicalPath();

    if (!baseDir.isEmpty()) {
        const QFileInfo inBaseDir(QDir(baseDir).filePath(candidateInfo.fileName()));
        if (inBaseDir.exists()) {
            path = inBaseDir.canonicalFilePath();
            return true;
        }
    }
    if (candidateInfo.exists()) {
        path = candidateInfo.canonicalFilePath();
        return true;
    }
    addFileMessage(candidateInfo.absoluteFilePath(), QStringLiteral("does not exist."));
    return false;
}

bool StyleSheetPreprocessor::checkAlreadyProcessed(const QString &path)
{
    if (fileStack.contains(path)) {
        addFileMessage(path, QStringLiteral("cannot be processed recursively."));
        return true;
    }
    if (processedFiles.contains(path)) {
        addFileMessage(path, QStringLiteral("already processed."));
        return true;
    }
    return false;
}

bool StyleSheetPreprocessor::readFile(const QString &path, QString &contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        addFileMessage(path, QStringLiteral("couldn't be opened."));
        return false;
    }
    if (file.size() > maxFileSize()) {
        addFileMessage(path, QStringLiteral("exceeds limit of %L1 bytes.").arg(maxFileSize()));
        return false;
    }
    QByteArray bytes = file.readAll();
    const int nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    contents = QString::fromUtf8(bytes);
    return true;
}

QString StyleSheetPreprocessor::processText(QString text)
{
    removeComments(text);
    QString output;
    QTextStream lines(&text, QIODevice::ReadOnly);
    while (!lines.atEnd()) {
        if (processLine(lines.readLine(), output))
            output += QLatin1Char('\n');
    }
    return output;
}

void StyleSheetPreprocessor::removeComments(QString &text)
{
    text.remove(commentPattern);
}

bool StyleSheetPreprocessor::processLine(QString line, QString &output)
{
    line.remove(trailingBlanksPattern);
    if (line.isEmpty())
        return true;

    QString importedText;
    while (!isBlank(line) && processImport(line, importedText))
        output += importedText;
    while (!isBlank(line) && processDefinition(line)) {
    }
    if (isBlank(line))
        return false;

    const QString savedStatement = currentStatement;
    currentStatement = line;
    const QString substituted = substituteVariables(line);
    currentStatement = savedStatement;
    output += substituted;
    return !substituted.isEmpty();
}

bool StyleSheetPreprocessor::processImport(QString &line, QString &importedText)
{
    const QRegularExpressionMatch clause = importPattern.match(line);
    if (!clause.hasMatch())
        return false;
    if (clause.capturedLength(4) == 0 && !fileStack.isEmpty()) {
        messageList.append(
            QStringLiteral("import clause for \"%1\" in file \"%2\" not terminated with semicolon.")
                .arg(clause.captured(3), currentFile()));
    }

    const QString savedStatement = currentStatement;
    currentStatement = clause.captured(0);
    const QString fileName = substituteVariables(clause.captured(3));
    if (fileName.isEmpty()) {
        addFileMessage(currentFile(),
                       QStringLiteral("contains empty style sheet file name in \"%1\" - ignoring...")
                           .arg(clause.captured(0)));
        importedText.clear();
    } else {
        importedText = processFile(fileName);
    }
    line.replace(0, clause.capturedLength(0), clause.captured(1));
    currentStatement = savedStatement;
    return true;
}

bool StyleSheetPreprocessor::processDefinition(QString &line)
{
    const QRegularExpressionMatch definition = definitionPattern.match(line);
    if (!definition.hasMatch())
        return false;

    const QString savedStatement = currentStatement;
    currentStatement = definition.captured(0);
    defineVariable(definition.captured(2), substituteVariables(definition.captured(3)));
    line.replace(0, definition.capturedLength(0), definition.captured(1));
    currentStatement = savedStatement;
    return true;
}

// Replaces the first reference again and again, searching from the start each time, so that
// a value holding references is expanded too. The work is bounded by the line: once it has had
// maxSubstitutions substitutions or grown past maxLineLength, the reference at hand refers to
// itself, directly or through others; it and every reference left are treated as not defined.
QString StyleSheetPreprocessor::substituteVariables(QString text)
{
    text.remove(trailingBlanksPattern);
    for (int substitutions = 0;; ++substitutions) {
        if (isBlank(text))
            return QString();
        const QRegularExpressionMatch reference = variablePattern.match(text);
        if (!reference.hasMatch())
            return text;
        if (substitutions == maxSubstitutions || text.size() > maxLineLength) {
            addVariableMessage(reference.captured(),
                               QStringLiteral("refers to itself and is treated as not defined."));
            text.remove(variablePattern);
            return isBlank(text) ? QString() : text;
        }
        const QString value = variableValue(reference.captured());
        text.replace(reference.capturedStart(), reference.capturedLength(), value);
    }
}

QString StyleSheetPreprocessor::variableValue(const QString &name)
{
    const auto found = variables.constFind(name);
    if (found != variables.constEnd())
        return found.value();
    addVariableMessage(name, QStringLiteral("is not defined."));
    return QString();
}

// Each message is built by one arg() call, so a '%' in a name, statement or path stays as written.
void StyleSheetPreprocessor::addVariableMessage(const QString &name, const QString &text)
{
    if (!fileStack.isEmpty() && !currentStatement.isEmpty()) {
        messageList.append(QStringLiteral("style sheet variable %1 in \"%2\" in file \"%3\" %4")
                               .arg(name, currentStatement, currentFile(), text));
        return;
    }
    messageList.append(QStringLiteral("style sheet variable %1 %2").arg(name, text));
}

void StyleSheetPreprocessor::addFileMessage(const QString &file, const QString &text)
{
    messageList.append(QStringLiteral("style sheet file \"%1\" %2").arg(file, text));
}

QString StyleSheetPreprocessor::currentFile() const
{
    return fileStack.isEmpty() ? QString() : fileStack.last();
}
