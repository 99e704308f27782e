#include "app/form.h"
#include "app/homepage.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "link/heaterlock.h"
#include "link/usb.h"
#include "protocol/protocol.h"
#include "tests/cli/devsimprocess.h"
#include "tests/support/logcapture.h"
#include "tests/support/modalwatcher.h"

#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

// The window as the program brings it up with KORVANE_DEVICE naming the socket
// of korvane-devsim in another process.
class TestWindowDevice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void followsTheVirtualDeviceStoppingAndStarting();
    void upgradeStateHoldsTheWindowOnTheFirmwarePage();
    void aHeaterHeldByAnotherProgramIsLeftAlone();

private:
    bool connectedShown() const;
    bool disconnectedShown() const;

    QTemporaryDir dir;
    QString socket;
    std::unique_ptr<MainWindow> window;
};

void TestWindowDevice::initTestCase()
{
    socket = dir.filePath("heater.sock");
    // Read once, when the link first needs a backend.
    qputenv("KORVANE_DEVICE", "unix:" + socket.toLocal8Bit());
}

bool TestWindowDevice::connectedShown() const
{
    const HomeWidgets &home = window->homePage()->widgets();
    return home.homeConnectedIcon->isVisible() && home.homeDisconnectedIcon->isHidden();
}

bool TestWindowDevice::disconnectedShown() const
{
    const HomeWidgets &home = window->homePage()->widgets();
    return home.homeDisconnectedIcon->isVisible() && home.homeConnectedIcon->isHidden();
}

void TestWindowDevice::followsTheVirtualDeviceStoppingAndStarting()
{
    LogCapture quiet;
    DevsimProcess devsim(socket);
    QVERIFY(devsim.start());
    window = launchMainWindow();
    QCOMPARE(linkState.load(), 64);
    QTRY_VERIFY(connectedShown());

    QVERIFY(devsim.stop(SIGTERM));
    QTRY_COMPARE(linkState.load(), 0);
    QCOMPARE(window->protocol()->isOpen(), 0);
    QCOMPARE(deviceRemoved.load(), 1);
    QTRY_VERIFY(disconnectedShown());

    QVERIFY(devsim.start());
    QTRY_COMPARE(linkState.load(), 64);
    QVERIFY(window->protocol()->isOpen() > 0);
    QTRY_VERIFY(connectedShown());
    window.reset();
}

void TestWindowDevice::upgradeStateHoldsTheWindowOnTheFirmwarePage()
{
    LogCapture quiet;
    DevsimProcess devsim(socket);
    QVERIFY(devsim.start({"--upgrade"}));
    window = launchMainWindow();
    QCOMPARE(linkState.load(), 2);
    QTRY_COMPARE(window->findChild<QStackedWidget *>("stackedWidget")->currentIndex(), 2);
    window.reset();
}

// Each button says who holds the heater, once, and sends nothing.
void TestWindowDevice::aHeaterHeldByAnotherProgramIsLeftAlone()
{
    LogCapture quiet;
    DevsimProcess devsim(socket);
    QVERIFY(devsim.start());
    window = launchMainWindow();
    QCOMPARE(linkState.load(), 64);
    qputenv("KORVANE_LOCK_WAIT_MS", "50");
    // Another process: in this one the window would share the test's hold.
    const QString lockFile = HeaterLock::lockFile(socket);
    QProcess other;
    other.start("flock", {lockFile, "sh", "-c", "printf 'korvane-cli\\n4242\\n' >\"$0\"; read line", lockFile});
    const auto holder = [&lockFile] {
        QFile file(lockFile);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    QTRY_COMPARE(holder(), QByteArray("korvane-cli\n4242\n"));
    QSignalSpy sent(window->protocol()->port(), &Usb::writeData);
    ModalWatcher boxes;
    Ui::MainWindow *ui = window->form();
    for (QPushButton *button : {ui->pushButton_get, ui->pushButton_set, ui->pushButton_getTCR, ui->pushButton_setTCR,
                                ui->pushButton_getTFR, ui->pushButton_setTFR}) {
        boxes.clear();
        button->click();
        QCOMPARE(boxes.texts(), QStringList{"The heater is busy: korvane-cli, pid 4242"});
    }
    qunsetenv("KORVANE_LOCK_WAIT_MS");
    // The home page says it too, in korvane-cli's words, until the other program lets go.
    const QLabel *problem = window->homePage()->widgets().homeProblemLabel;
    QTRY_COMPARE(problem->text(), QString("the heater is busy: korvane-cli, pid 4242"));
    window->on_click_home();
    QVERIFY(problem->isVisible());
    other.closeWriteChannel();
    QVERIFY(other.waitForFinished(10000));
    QCOMPARE(sent.count(), 0);
    QTRY_VERIFY(problem->isHidden());
    QCOMPARE(sent.first().first().toByteArray().at(0), char(0x72)); // greeted anew
    window.reset();
}

QTEST_MAIN(TestWindowDevice)
#include "tst_windowdevice.moc"
