#include <QProcess>
#include <QtTest>

// Closing the window ends the program at once, also while the firmware writer
// waits for the device. Runs the window in a child process of its own.
class TestCloseDuringUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void closingEndsTheProcessAtOnce();
};

void TestCloseDuringUpgrade::closingEndsTheProcessAtOnce()
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Far longer than the wait below: the writer must not be waited for.
    environment.insert("KORVANE_READ_TIMEOUT_MS", "60000");
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(UPGRADE_CLOSE_PROGRAM, QStringList());
    QVERIFY(child.waitForStarted());

    QVERIFY(child.waitForFinished(30000));
    QCOMPARE(child.readAllStandardOutput(), QByteArray("closing\n"));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);
}

QTEST_GUILESS_MAIN(TestCloseDuringUpgrade)
#include "tst_closeduringupgrade.moc"
