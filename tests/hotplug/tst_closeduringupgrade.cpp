#include <QProcess>
#include <QtTest>

// Closing the window ends the program at once while nothing is being sent; in
// the middle of a firmware transfer it asks first, and "No" keeps the window
// and the transfer. Runs the window in a child process of its own.
class TestCloseDuringUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void closing_data();
    void closing();
};

void TestCloseDuringUpgrade::closing_data()
{
    QTest::addColumn<QString>("state");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("output");
    const QString kept = "closing\nkept, window 1, writer 1\n%1\nclosing\n";
    QTest::newRow("nothing being sent") << "idle"
                                        << "0"
                                        << "closing\n";
    QTest::newRow("firmware transfer")
        << "upgrade"
        << "0"
        << kept.arg("An upgrade is under way; closing now leaves the heater in its upgrade state, and it must be "
                    "upgraded again. Close anyway?");
    QTest::newRow("firmware transfer, Chinese")
        << "upgrade"
        << "1" << kept.arg("正在升级中；现在关闭会让设备停留在升级状态，必须重新升级。仍要关闭吗？");
}

void TestCloseDuringUpgrade::closing()
{
    QFETCH(QString, state);
    QFETCH(QString, language);
    QFETCH(QString, output);
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Far longer than the wait below: the writer must not be waited for.
    environment.insert("KORVANE_READ_TIMEOUT_MS", "60000");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(UPGRADE_CLOSE_PROGRAM, {state, language});
    QVERIFY(child.waitForStarted());

    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(child.readAllStandardOutput()), output);
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestCloseDuringUpgrade)
#include "tst_closeduringupgrade.moc"
