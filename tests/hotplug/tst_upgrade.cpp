#include "app/form.h"
#include "app/homepage.h"
#include "app/mainwindow.h"
#include "app/writefile.h"
#include "common/processstate.h"
#include "protocol/packet.h"
#include "protocol/protocol.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"
#include "tests/hotplug/dialoganswers.h"
#include "tests/hotplug/helpers.h"
#include "tests/hotplug/writergate.h"
#include "tests/support/logcapture.h"

#include <QFile>
#include <QFileDialog>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>

// The firmware page: picking an image, the transfer on the writer thread and
// what the page shows of it.
class TestUpgrade : public QObject
{
    Q_OBJECT

private slots:
    void fullUpgradeOfAMultiPageImage();
    void failedTransfer_data();
    void failedTransfer();
    void otherDevicesDuringTransfer_data();
    void otherDevicesDuringTransfer();
    void fileNotSent_data();
    void fileNotSent();
    void cancelledPickChangesNothing();
    void pickWithoutLink();
};

namespace {

// 2500 bytes: two full pages of 18 reports and a last one of 8, between the
// start and the end report.
constexpr int ImageSize = 2500;
constexpr int TransferReports = 46;

QByteArray randomImage()
{
    QByteArray image(ImageSize, '\0');
    for (char &byte : image)
        byte = char(QRandomGenerator::global()->bounded(256));
    return image;
}

struct UpgradeWindow
{
    UpgradeWindow() : f("0", WindowFixture::Device::Upgrading) { f.window()->on_click_main_update(); }

    Ui::MainWindow *ui() const { return f.ui(); }
    void pick() { ui()->pushButton_bootLoaderFile->click(); }
    bool writerFinished() const
    {
        const writefile *writer = f.window()->firmwareWriter();
        return writer->isFinished() || !writer->isRunning();
    }
    // The three state labels of the page, as the page shows them (the home page
    // may cover it): upgrading, success, failed.
    QString stateShown() const
    {
        return QString("%1%2%3")
            .arg(!ui()->label_17->isHidden())
            .arg(!ui()->label_20->isHidden())
            .arg(!ui()->label_7->isHidden());
    }

    WindowFixture f;
    DialogAnswers answers;
};

} // namespace

void TestUpgrade::fullUpgradeOfAMultiPageImage()
{
    UpgradeWindow w;
    QVERIFY(w.f.waitForRefreshes());
    QCOMPARE(w.ui()->stackedWidget->currentIndex(), 2);
    w.f.window()->tabLink(); // the upgrade state holds the window on its page
    QVERIFY(w.f.waitForRefreshes());
    QCOMPARE(w.ui()->stackedWidget->currentIndex(), 2);
    QVERIFY(w.ui()->tabWidget_2->isHidden());

    const QByteArray image = randomImage();
    const QString path = writeFile("firmware.bin", image);
    w.answers.pick(path);
    WriterGate gate(w.f.window()->protocol()->port(), 10);
    LogCapture log;
    w.pick();

    QCOMPARE(w.answers.dialogs().size(), 1);
    const DialogAnswers::Seen dialog = w.answers.dialogs().first();
    QCOMPARE(dialog.title, QString("Open Image"));
    QCOMPARE(dialog.filters, QStringList("Files(*.bin)"));
    QCOMPARE(dialog.directory, QDir::currentPath());
    QCOMPARE(w.ui()->lineEdit->text(), path);
    QVERIFY(log.contains(path));
    QVERIFY(log.containsPart("Fun:[sendFile] File:[mainwindow] file:" + path + "\n\n"));
    QCOMPARE(upgradeStarted.load(), 1);
    QCOMPARE(returnHomePending.load(), 1);

    // Held after nine accepted reports: the window goes on refreshing and shows it.
    QTRY_VERIFY(gate.holding());
    QVERIFY(w.f.waitForRefreshes());
    QCOMPARE(w.ui()->progressBar->value(), 9 * 100 / TransferReports);
    QCOMPARE(w.stateShown(), QString("100"));

    // A second pick leaves the running transfer alone.
    w.answers.pick(writeFile("other.bin", "other"));
    w.pick();
    QCOMPARE(w.answers.boxes.texts(), QStringList("A firmware upgrade is running. Wait until it has ended."));
    QCOMPARE(w.answers.boxes.boxes().first().title, QString("Warn"));
    QCOMPARE(w.answers.dialogs().size(), 1);
    QCOMPARE(w.ui()->lineEdit->text(), path);
    QVERIFY(gate.holding());

    gate.release();
    QTRY_VERIFY(w.writerFinished());
    QVERIFY(log.contains("upgrade end"));
    QVERIFY(w.f.device->firmwareComplete());
    QCOMPARE(w.f.device->firmware(), image);
    QCOMPARE(w.f.device->problems(), QStringList());
    QCOMPARE(w.f.device->reportCount(), 1 + TransferReports);
    QVERIFY(w.f.waitForRefreshes());
    QCOMPARE(w.ui()->progressBar->value(), 100);
    QCOMPARE(w.stateShown(), QString("010"));
}

void TestUpgrade::failedTransfer_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<bool>("linkStays");

    QTest::newRow("refused with status 3") << int(SimDevice::Status) << true;
    QTest::newRow("answer lost") << int(SimDevice::Drop) << false;
    QTest::newRow("unplugged") << -1 << false;
}

void TestUpgrade::failedTransfer()
{
    QFETCH(int, fault);
    QFETCH(bool, linkStays);

    UpgradeWindow w;
    w.answers.pick(writeFile("firmware.bin", randomImage()));
    if (fault < 0)
        w.f.device->vanishAfter(5);
    else
        w.f.device->inject(5, SimDevice::Fault(fault), 3);
    w.pick();

    QTRY_VERIFY(w.writerFinished());
    QCOMPARE(upgradeOk.load(), 0);
    QVERIFY(!w.f.device->firmwareComplete());
    QCOMPARE(w.f.window()->protocol()->isOpen() > 0, linkStays);
    QVERIFY(w.f.waitForRefreshes());
    QCOMPARE(w.stateShown(), QString("001"));
    QCOMPARE(w.ui()->label_7->text(), QString("Update failed!"));
    QCOMPARE(w.answers.boxes.count(), 0);
    if (fault >= 0)
        return;
    // The removal took the window home once, and the failure stays on the page.
    QCOMPARE(deviceRemoved.load(), 1);
    QVERIFY(w.f.window()->homePage()->widgets().homeBackground->isVisible());
    w.f.window()->on_click_main_update();
    QVERIFY(w.f.waitForRefreshes());
    QCOMPARE(w.stateShown(), QString("001"));
}

void TestUpgrade::otherDevicesDuringTransfer_data()
{
    QTest::addColumn<bool>("arriving");

    QTest::newRow("another device plugged in") << true;
    QTest::newRow("another device unplugged") << false;
}

// The link is reopened and the handshake repeated between two reports of the
// transfer, or the heater's presence checked; the transfer goes on either way.
void TestUpgrade::otherDevicesDuringTransfer()
{
    QFETCH(bool, arriving);

    UpgradeWindow w;
    const QString keyboard = "/dev/hidraw-kbd";
    if (!arriving) {
        w.f.bus.attach(keyboard, std::make_shared<SimDevice>(), 0x046d, 0xc31c);
        QTRY_COMPARE(deviceEvent.load(), 1);
    }
    // Large enough to be still on its way when the notice is handled.
    QByteArray image = randomImage().repeated(400);
    w.answers.pick(writeFile("firmware.bin", image));
    w.pick();
    deviceEvent = 0;
    if (arriving)
        w.f.bus.attach(keyboard, std::make_shared<SimDevice>(), 0x046d, 0xc31c);
    else
        w.f.bus.detach(keyboard);
    QTRY_COMPARE(deviceEvent.load(), arriving ? 1 : 2);

    QTRY_VERIFY_WITH_TIMEOUT(w.writerFinished(), 30000);
    QVERIFY(w.f.device->firmwareComplete());
    QCOMPARE(w.f.device->firmware(), image);
    QCOMPARE(upgradeOk.load(), 1);
    QCOMPARE(linkState.load(), 2);
    if (arriving) {
        const QList<int> codes = reportCodes(*w.f.device, 1);
        const int handshake = codes.indexOf(0x72);
        QVERIFY(handshake >= 0 && handshake < codes.size() - 1); // before the end report
    }
}

void TestUpgrade::fileNotSent_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");

    const QString empty = QDir::current().absoluteFilePath("empty.bin");
    const QString missing = QDir::current().absoluteFilePath("missing.bin");
    const QString large = QDir::current().absoluteFilePath("large.bin");
    QTest::newRow("empty") << "0" << empty << "Warn"
                           << "The size for file "
                           << " is zero";
    QTest::newRow("empty, Chinese") << "1" << empty << "警告"
                                    << "您选择了空文件"
                                    << "";
    QTest::newRow("cannot be opened") << "0" << missing << "Warn"
                                      << "The file "
                                      << " cannot be read";
    QTest::newRow("cannot be opened, Chinese") << "1" << missing << "警告"
                                               << "无法读取文件"
                                               << "";
    QTest::newRow("too large to frame") << "0" << large << "Warn"
                                        << "The file "
                                        << " is too large to send";
    QTest::newRow("too large, Chinese") << "1" << large << "警告"
                                        << "文件"
                                        << "太大，无法发送";
    QTest::newRow("device") << "0"
                            << "/dev/zero"
                            << "Warn"
                            << "The file "
                            << " is not a regular file";
    QTest::newRow("FIFO, Chinese") << "1" << QDir::current().absoluteFilePath("fifo.bin") << "警告"
                                   << "文件"
                                   << "不是普通文件";
    // Kernel attribute files claim a size they never deliver.
    QTest::newRow("short read") << "0"
                                << "/sys/kernel/mm/transparent_hugepage/enabled"
                                << "Warn"
                                << "The file "
                                << " cannot be read";
}

void TestUpgrade::fileNotSent()
{
    QFETCH(QString, language);
    QFETCH(QString, path);
    QFETCH(QString, title);
    QFETCH(QString, before);
    QFETCH(QString, after);

    QFile::remove("missing.bin");
    writeFile("empty.bin", "");
    QFile large(writeFile("large.bin", ""));
    QVERIFY(large.resize(qint64(Packet::LargestImage) + 1)); // sparse: nothing is written
    if (!QFile::exists("fifo.bin"))
        QCOMPARE(mkfifo("fifo.bin", 0600), 0);
    if (path.startsWith("/sys/") && !QFile::exists(path))
        QSKIP("no kernel attribute file here");

    WindowFixture f(language.toUtf8().constData(), WindowFixture::Device::Upgrading);
    DialogAnswers answers;
    answers.pick(path);
    const int reports = f.device->reportCount();
    f.ui()->pushButton_bootLoaderFile->click();

    QCOMPARE(answers.boxes.count(), 1);
    QCOMPARE(answers.boxes.boxes().first().title, title);
    QCOMPARE(answers.boxes.texts().first(), before + path + after);
    QVERIFY(!answers.boxes.boxes().first().hasParent);
    QCOMPARE(f.device->reportCount(), reports);
    QCOMPARE(upgradeStarted.load(), 0);
    QCOMPARE(f.ui()->lineEdit->text(), path);
    QFile::remove("large.bin");
}

void TestUpgrade::cancelledPickChangesNothing()
{
    UpgradeWindow w;
    const int reports = w.f.device->reportCount();
    w.pick();

    QCOMPARE(w.answers.dialogs().size(), 1);
    QCOMPARE(w.answers.boxes.count(), 0);
    QVERIFY(w.ui()->lineEdit->text().isEmpty());
    QCOMPARE(w.f.device->reportCount(), reports);
    QCOMPARE(upgradeStarted.load(), 0);
    QVERIFY(w.f.waitForRefreshes());
    QCOMPARE(w.stateShown(), QString("000"));
}

void TestUpgrade::pickWithoutLink()
{
    WindowFixture f;
    f.window()->on_click_main_update();
    DialogAnswers answers;
    answers.pick(writeFile("firmware.bin", randomImage()));
    f.ui()->pushButton_bootLoaderFile->click();

    QCOMPARE(answers.boxes.texts(), QStringList("Open usb failed. Please check the usb device"));
    QCOMPARE(upgradeStarted.load(), 0);
    QVERIFY(f.ui()->lineEdit->text().isEmpty());
}

QTEST_MAIN(TestUpgrade)
#include "tst_upgrade.moc"
