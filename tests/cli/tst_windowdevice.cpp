#include "app/homepage.h"
#include "app/launch.h"
#include "app/mainwindow.h"
#include "common/processstate.h"
#include "protocol/protocol.h"
#include "tests/cli/devsimprocess.h"
#include "tests/support/logcapture.h"

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

QTEST_MAIN(TestWindowDevice)
#include "tst_windowdevice.moc"
