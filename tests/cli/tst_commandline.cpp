#include <QProcess>
#include <QtTest>

// The three programs as a terminal sees them: --help and --version answer on
// stdout with status 0, a line they cannot use is refused alike by each.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void answers_data();
    void answers();
};

void TestCommandLine::answers_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("option");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QList<QPair<QString, QString>> programs = {
        {"korvane", KORVANE_WINDOW}, {"korvane-cli", KORVANE_CLI}, {"korvane-devsim", KORVANE_DEVSIM}};
    for (const auto &program : programs) {
        const QByteArray name = program.first.toUtf8();
        QTest::addRow("%s help", name.constData()) << program.second << "--help" << 0 << "sage: "
                                                   << "";
        QTest::addRow("%s version", name.constData())
            << program.second << "--version" << 0 << program.first + " " KORVANE_VERSION "\n"
            << "";
        QTest::addRow("%s bogus", name.constData()) << program.second << "--bogus" << 2 << ""
                                                    << "Try '" + program.first + " --help' for more information.\n";
    }
    QTest::addRow("korvane help-all") << QString(KORVANE_WINDOW) << "--help-all" << 0 << "sage: "
                                      << "";
}

void TestCommandLine::answers()
{
    QFETCH(QString, program);
    QFETCH(QString, option);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess process;
    // No display at all: the window's answers must not need one.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    if (option != "--bogus")
        environment.remove("QT_QPA_PLATFORM");
    process.setProcessEnvironment(environment);
    process.start(program, {option});
    QVERIFY(process.waitForFinished(20000));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), code);
    const QString stdOut = process.readAllStandardOutput();
    const QString stdErr = process.readAllStandardError();
    // The help names the options; the version is the one line.
    if (out.isEmpty() || out.endsWith('\n'))
        QCOMPARE(stdOut, out);
    else
        QVERIFY2(stdOut.contains(out) && stdOut.contains("--version"), qPrintable(stdOut));
    QVERIFY2(stdErr.endsWith(err), qPrintable(stdErr));
    // Qt may warn first (no runtime folder); the complaint is the last two lines.
    if (code != 0)
        QVERIFY2(QRegularExpression("(^|\n)" + QFileInfo(program).fileName() + ": \\S[^\n]*\n[^\n]+\n$")
                     .match(stdErr)
                     .hasMatch(),
                 qPrintable(stdErr));
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
