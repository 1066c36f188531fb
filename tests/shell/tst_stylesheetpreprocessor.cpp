#include "shell/StyleSheetPreprocessor.h"

#include <QtTest>

#include <memory>

// Relative file path (below the test folder) to contents. The preprocessor's base folder is "base".
using Files = QMap<QString, QString>;
Q_DECLARE_METATYPE(Files)

class TestStyleSheetPreprocessor : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void process_data();
    void process();
    void sizeLimit_data();
    void sizeLimit();
    void selfReferenceBoundedByLine_data();
    void selfReferenceBoundedByLine();
    void stateAcrossCalls();

private:
    void writeFiles(const Files &files);
    QStringList expandPaths(QStringList messages) const;
    QString baseDir() const { return root + QStringLiteral("/base"); }

    std::unique_ptr<QTemporaryDir> dir;
    QString root;
    QString previousCurrentDir;
};

void TestStyleSheetPreprocessor::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
    root = QDir(dir->path()).canonicalPath();
    QVERIFY(QDir(root).mkpath(QStringLiteral("base")));
    // Relative names without an importing file resolve against the current folder.
    previousCurrentDir = QDir::currentPath();
    QVERIFY(QDir::setCurrent(root));
}

void TestStyleSheetPreprocessor::cleanup()
{
    QDir::setCurrent(previousCurrentDir);
    dir.reset();
    QLocale::setDefault(QLocale::c());
}

void TestStyleSheetPreprocessor::writeFiles(const Files &files)
{
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = root + QLatin1Char('/') + it.key();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(it.value().toUtf8()), qint64(it.value().toUtf8().size()));
    }
}

// "<base>" stands for the base folder, "<dir>" for the test folder.
QStringList TestStyleSheetPreprocessor::expandPaths(QStringList messages) const
{
    for (QString &message : messages)
        message.replace(QStringLiteral("<base>"), baseDir()).replace(QStringLiteral("<dir>"), root);
    return messages;
}

void TestStyleSheetPreprocessor::process_data()
{
    QTest::addColumn<Files>("files");
    QTest::addColumn<QStringList>("definitions"); // name, value, name, value...
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QStringList>("messages");

    const QString main = QStringLiteral("main.css");
    const QString inMain = QStringLiteral(" in file \"<base>/main.css\" ");

    QTest::newRow("comments and blank lines")
        << Files{{"base/main.css", "a { }\n\n/* only a comment */\nb /* inline */ { }\n"
                                   "c { } /* spans\nlines */ d { }\n   \n"}}
        << QStringList() << main << "a { }\n\n\nb  { }\nc { }  d { }\n\n" << QStringList();
    QTest::newRow("CR LF, no line end at the end, no extra line after the last line end")
        << Files{{"base/main.css", "a\r\nb\r\n\r\nc"}} << QStringList() << main << "a\nb\n\nc\n" << QStringList();
    QTest::newRow("text after a NUL byte is not read")
        << Files{{"base/main.css", QString::fromUtf8("a\n\0b\n", 5)}} << QStringList() << main << "a\n"
        << QStringList();
    QTest::newRow("definitions leave no line, indentation stays")
        << Files{{"base/main.css", "$c: red;\n  $w: 1px; $x : 2px ;\nQWidget { color: $c; border: $w; }\n"
                                   "  QLabel { margin: $x; }\n"}}
        << QStringList() << main << "QWidget { color: red; border: 1px; }\n  QLabel { margin: 2px; }\n"
        << QStringList();
    QTest::newRow("first definition wins")
        << Files{{"base/main.css", "$c: red;\n$c: blue;\nx { color: $c; }\n"}} << QStringList() << main
        << "x { color: red; }\n"
        << QStringList{"style sheet variable $c in \"$c: blue;\"" + inMain + "is already defined."};
    QTest::newRow("caller's definition wins")
        << Files{{"base/main.css", "$c: red;\nx { color: $c; }\n"}} << QStringList{"$c", "green"} << main
        << "x { color: green; }\n"
        << QStringList{"style sheet variable $c in \"$c: red;\"" + inMain + "is already defined."};
    QTest::newRow("a value sees only earlier definitions")
        << Files{{"base/main.css", "$a: x $b;\n$b: 1;\ny { v: $a; w: $b; }\n"}} << QStringList() << main
        << "y { v: x ; w: 1; }\n"
        << QStringList{"style sheet variable $b in \"$a: x $b;\"" + inMain + "is not defined."};
    QTest::newRow("undefined reference disappears, a line left blank gives no line")
        << Files{{"base/main.css", "x { color: $nope; }\n  $nope\n"}} << QStringList() << main
        << "x { color: ; }\n"
        << QStringList{"style sheet variable $nope in \"x { color: $nope; }\"" + inMain + "is not defined.",
                       "style sheet variable $nope in \"  $nope\"" + inMain + "is not defined."};
    QTest::newRow("variable names")
        << Files{{"base/main.css", "$a-b $a--b $1 $a1-\n"}}
        << QStringList{"$a", "A", "$a-b", "AB", "$a1", "A1"} << main << "AB A--b $1 A1-\n" << QStringList();
    QTest::newRow("definition without semicolon is text")
        << Files{{"base/main.css", "$c: x $c\n"}} << QStringList{"$c", "red"} << main << "red: x red\n"
        << QStringList();
    QTest::newRow("theme import from the base folder")
        << Files{{"base/main.css", "@import \"$Theme.qsse\";\nx { s: $s; }\n"},
                 {"base/default.qsse", "$s: 12px;\nt { }\n"}}
        << QStringList{"$Theme", "default"} << main << "t { }\nx { s: 12px; }\n" << QStringList();
    QTest::newRow("two imports on one line, the first without semicolon")
        << Files{{"base/main.css", "@import 'a.qsse' @import 'b.qsse';\n"},
                 {"base/a.qsse", "A\n"},
                 {"base/b.qsse", "B\n"}}
        << QStringList() << main << "A\nB\n"
        << QStringList{"import clause for \"a.qsse\" in file \"<base>/main.css\" not terminated with semicolon."};
    QTest::newRow("import clauses that stay text")
        << Files{{"base/main.css", "$v: 1; @import 'a.qsse';\n@import a.qsse;\n"}, {"base/a.qsse", "A\n"}}
        << QStringList() << main << "@import 'a.qsse';\n@import a.qsse;\n" << QStringList();
    QTest::newRow("file importing itself")
        << Files{{"base/main.css", "@import 'main.css';\nx\n"}} << QStringList() << main << "x\n"
        << QStringList{"style sheet file \"<base>/main.css\" cannot be processed recursively."};
    QTest::newRow("file imported twice")
        << Files{{"base/main.css", "@import 'a.qsse';\n@import 'a.qsse';\n"}, {"base/a.qsse", "A\n"}}
        << QStringList() << main << "A\n" << QStringList{"style sheet file \"<base>/a.qsse\" already processed."};
    // main.css is named relative to the current folder, found in the base folder; its imports
    // resolve against the current folder.
    QTest::newRow("missing import")
        << Files{{"base/main.css", "@import 'none.qsse';\nx\n"}} << QStringList() << main << "x\n"
        << QStringList{"style sheet file \"<dir>/none.qsse\" does not exist."};
    QTest::newRow("name with a folder part: base folder first")
        << Files{{"base/main.css", "@import 'sub/a.qsse';\n"}, {"base/a.qsse", "BASE\n"}, {"sub/a.qsse", "SUB\n"}}
        << QStringList() << main << "BASE\n" << QStringList();
    QTest::newRow("relative names follow the importing file's folder")
        << Files{{"sub/b.qsse", "@import 'c.qsse';\nB\n"}, {"sub/c.qsse", "C\n"}} << QStringList()
        << "sub/b.qsse" << "C\nB\n" << QStringList();
    QTest::newRow("import that is a folder")
        << Files{{"base/main.css", "@import 'dir.qsse';\nx\n"}, {"base/dir.qsse/inside", ""}} << QStringList()
        << main << "x\n" << QStringList{"style sheet file \"<base>/dir.qsse\" couldn't be opened."};
    QTest::newRow("empty import name")
        << Files{{"base/main.css", "@import '';\nx\n"}} << QStringList() << main << "x\n"
        << QStringList{"style sheet file \"<base>/main.css\" contains empty style sheet file name in "
                       "\"@import '';\" - ignoring..."};
    QTest::newRow("import name from an undefined variable")
        << Files{{"base/main.css", "@import \"$none\";\n"}} << QStringList() << main << ""
        << QStringList{"style sheet variable $none in \"@import \"$none\";\"" + inMain + "is not defined.",
                       "style sheet file \"<base>/main.css\" contains empty style sheet file name in "
                       "\"@import \"$none\";\" - ignoring..."};
    QTest::newRow("empty entry name")
        << Files() << QStringList() << QString() << ""
        << QStringList{"style sheet file \"\" will be ignored - empty style sheet file name."};
    QTest::newRow("missing entry")
        << Files() << QStringList() << "none.css" << ""
        << QStringList{"style sheet file \"<dir>/none.css\" does not exist."};
    QTest::newRow("percent signs in messages stay as written")
        << Files{{"base/main.css", "@import '%1.qsse'\nx%2 $nope\n"}} << QStringList() << main << "x%2 \n"
        << QStringList{"import clause for \"%1.qsse\" in file \"<base>/main.css\" not terminated with semicolon.",
                       "style sheet file \"<dir>/%1.qsse\" does not exist.",
                       "style sheet variable $nope in \"x%2 $nope\"" + inMain + "is not defined."};
    QTest::newRow("cycle between two variables ends")
        << Files{{"base/main.css", "x $nope $a y\n"}} << QStringList{"$a", "$b", "$b", "$a"} << main
        << "x   y\n"
        << QStringList{"style sheet variable $nope in \"x $nope $a y\"" + inMain + "is not defined.",
                       "style sheet variable $b in \"x $nope $a y\"" + inMain
                           + "refers to itself and is treated as not defined."};
    QTest::newRow("growing self-reference in a definition ends")
        << Files{{"base/main.css", "$v: $a;\ny $v;\n"}} << QStringList{"$a", "x$a"} << main
        << "y " + QString(StyleSheetPreprocessor::maxSubstitutions, 'x') + ";\n"
        << QStringList{"style sheet variable $a in \"$v: $a;\"" + inMain
                       + "refers to itself and is treated as not defined."};
}

void TestStyleSheetPreprocessor::process()
{
    QFETCH(Files, files);
    QFETCH(QStringList, definitions);
    QFETCH(QString, entry);
    QFETCH(QString, output);
    QFETCH(QStringList, messages);
    writeFiles(files);

    StyleSheetPreprocessor preprocessor(baseDir());
    for (int i = 0; i + 1 < definitions.size(); i += 2)
        preprocessor.defineVariable(definitions.at(i), definitions.at(i + 1));
    QCOMPARE(preprocessor.process(entry), output);
    QCOMPARE(preprocessor.messages(), expandPaths(messages));
}

void TestStyleSheetPreprocessor::sizeLimit_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("message");

    QTest::newRow("at the limit") << 1000000 << "C" << QString();
    QTest::newRow("one byte over, C locale")
        << 1000001 << "C" << "style sheet file \"<base>/big.css\" exceeds limit of 1000000 bytes.";
    QTest::newRow("one byte over, German locale")
        << 1000001 << "de_DE" << "style sheet file \"<base>/big.css\" exceeds limit of 1.000.000 bytes.";
}

void TestStyleSheetPreprocessor::sizeLimit()
{
    QFETCH(int, size);
    QFETCH(QString, locale);
    QFETCH(QString, message);
    QLocale::setDefault(QLocale(locale));
    const QString text = QString(size - 1, QLatin1Char('a')) + QLatin1Char('\n');
    writeFiles(Files{{"base/big.css", text}});

    StyleSheetPreprocessor preprocessor(baseDir());
    const QString output = preprocessor.process(QStringLiteral("big.css"));
    if (message.isEmpty()) {
        QVERIFY(output == text);
        QVERIFY(preprocessor.messages().isEmpty());
    } else {
        QVERIFY(output.isEmpty());
        QCOMPARE(preprocessor.messages(), expandPaths({message}));
    }
}

void TestStyleSheetPreprocessor::selfReferenceBoundedByLine_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("expansions");

    // Each expansion of $a adds one "x": the line stops after maxSubstitutions of them.
    QTest::newRow("deep") << "$a x$a" << StyleSheetPreprocessor::maxSubstitutions;
    // Each expansion adds 998 characters to the 5 of "y $a;": 66 of them pass 64 KiB.
    QTest::newRow("wide") << QString("x $a ").repeated(200) << 66;
}

// Unbounded, the "wide" value takes minutes.
void TestStyleSheetPreprocessor::selfReferenceBoundedByLine()
{
    QFETCH(QString, value);
    QFETCH(int, expansions);
    writeFiles(Files{{"base/main.css", "y $a;\n"}});

    StyleSheetPreprocessor preprocessor(baseDir());
    preprocessor.defineVariable(QStringLiteral("$a"), value);
    const QString output = preprocessor.process(QStringLiteral("main.css"));
    QCOMPARE(output.count(QLatin1Char('x')), expansions * value.count(QLatin1Char('x')));
    QVERIFY(!output.contains(QLatin1Char('$')));
    QCOMPARE(preprocessor.messages(),
             expandPaths({"style sheet variable $a in \"y $a;\" in file \"<base>/main.css\" refers to itself "
                          "and is treated as not defined."}));
}

void TestStyleSheetPreprocessor::stateAcrossCalls()
{
    writeFiles(Files{{"base/first.css", "@import 'a.qsse';\n@import 'a.qsse';\n"},
                     {"base/a.qsse", "$v: 1;\nA\n"},
                     {"base/second.css", "@import 'a.qsse';\nv $v;\n"}});
    StyleSheetPreprocessor preprocessor(baseDir());
    QCOMPARE(preprocessor.process(QStringLiteral("first.css")), QStringLiteral("A\n"));
    QCOMPARE(preprocessor.messages().size(), 1);

    // Processed files and messages start afresh; variables stay, so a.qsse's definition now repeats one.
    QCOMPARE(preprocessor.process(QStringLiteral("second.css")), QStringLiteral("A\nv 1;\n"));
    QCOMPARE(preprocessor.messages(),
             expandPaths({"style sheet variable $v in \"$v: 1;\" in file \"<base>/a.qsse\" is already defined."}));
}

QTEST_GUILESS_MAIN(TestStyleSheetPreprocessor)
#include "tst_stylesheetpreprocessor.moc"
