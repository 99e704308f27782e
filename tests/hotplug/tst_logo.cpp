#include "app/form.h"
#include "app/mainwindow.h"
#include "protocol/packet.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"
#include "tests/hotplug/dialoganswers.h"
#include "tests/hotplug/helpers.h"

#include <QFileDialog>
#include <QtTest>
#include <sys/stat.h>

// The logo page: the pick, the transfer and the box that tells its outcome.
class TestLogo : public QObject
{
    Q_OBJECT

private slots:
    void sendLogo_data();
    void sendLogo();
    void failedWrite();
    void eachPickHasItsOwnDialog();
};

namespace {

// Groups of sixteen bytes as the logo files hold them, counting up from first.
QByteArray logoText(int groups, int first = 0)
{
    QByteArray text;
    for (int g = 0; g < groups; ++g) {
        QStringList values;
        for (int i = 0; i < 16; ++i)
            values << QString("0x%1").arg((first + g * 16 + i) & 0xff, 2, 16, QChar('0'));
        text += "{" + values.join(",").toLatin1() + "},\n";
    }
    return text;
}

QByteArray countingBytes(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += char(i & 0xff);
    return bytes;
}

// The file a row picks, made as the row says.
QString pickedFile(const QString &file, const QByteArray &content)
{
    if (file.isEmpty() || file.startsWith('/'))
        return file;
    QFile::remove(file); // a FIFO left by an earlier row would block the write
    if (file == "fifo")
        return mkfifo(qPrintable(file), 0600) == 0 ? QDir::current().absoluteFilePath(file) : QString();
    const QString path = writeFile(file, content);
    if (file == "large.txt" && !QFile(path).resize(Packet::LargestLogoText + 1)) // sparse: nothing is written
        return QString();
    return path;
}

QList<int> transferCodes(int dataReports)
{
    QList<int> codes{0x70};
    for (int i = 0; i < dataReports; ++i)
        codes << 0x07;
    return codes << 0x71;
}

} // namespace

void TestLogo::sendLogo_data()
{
    QTest::addColumn<QString>("language");
    // Empty: the dialog is cancelled; fifo and large.txt are made as their names say.
    QTest::addColumn<QString>("file");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QByteArray>("logo");
    QTest::addColumn<QList<int>>("codes");

    const QString success = " success ";
    QTest::newRow("more than 512 bytes") << "0"
                                         << "logo.txt" << logoText(40) << "Path"
                                         << "Send  file " << success << countingBytes(512) << transferCodes(9);
    QTest::newRow("one group") << "0"
                               << "logo.txt" << logoText(1, 0x40) << "Path"
                               << "Send  file " << success << QByteArray::fromHex("404142434445464748494a4b4c4d4e4f")
                               << transferCodes(1);
    QTest::newRow("sent, Chinese") << "1"
                                   << "logo.txt" << logoText(2) << "路径"
                                   << "发送文件 "
                                   << " 成功" << countingBytes(32) << transferCodes(1);
    QTest::newRow("empty file") << "0"
                                << "empty.txt" << QByteArray() << "Warn"
                                << "You select "
                                << ". Its size should be in [1,512]" << QByteArray() << QList<int>();
    QTest::newRow("empty file, Chinese") << "1"
                                         << "empty.txt" << QByteArray() << "警告"
                                         << "您选择了 "
                                         << "，它的大小应该在[1, 512]范围" << QByteArray() << QList<int>();
    // Sent, these would erase the heater's logo.
    QTest::newRow("no groups") << "0"
                               << "logo.txt" << QByteArray("no logo in here\n") << "Warn"
                               << "The file "
                               << " holds no logo" << QByteArray() << QList<int>();
    QTest::newRow("no value converts, Chinese") << "1"
                                                << "logo.txt" << QByteArray("{ 0x01}{0x}{{") << "警告"
                                                << "文件"
                                                << "中没有开机画面数据" << QByteArray() << QList<int>();
    QTest::newRow("device") << "0"
                            << "/dev/zero" << QByteArray() << "Warn"
                            << "The file "
                            << " is not a regular file" << QByteArray() << QList<int>();
    QTest::newRow("FIFO, Chinese") << "1"
                                   << "fifo" << QByteArray() << "警告"
                                   << "文件"
                                   << "不是普通文件" << QByteArray() << QList<int>();
    QTest::newRow("too large") << "0"
                               << "large.txt" << QByteArray() << "Warn"
                               << "The file "
                               << " is too large to send" << QByteArray() << QList<int>();
    QTest::newRow("cancelled") << "0"
                               << "" << QByteArray() << "Path"
                               << "You dont select any files"
                               << "" << QByteArray() << QList<int>();
    QTest::newRow("cancelled, Chinese") << "1"
                                        << "" << QByteArray() << "路径"
                                        << "您没有选择任何文件"
                                        << "" << QByteArray() << QList<int>();
}

void TestLogo::sendLogo()
{
    QFETCH(QString, language);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(QString, title);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QByteArray, logo);
    QFETCH(QList<int>, codes);
    const QString path = pickedFile(file, content);
    QVERIFY(!path.isEmpty() || file.isEmpty());

    WindowFixture f(language.toUtf8().constData(), WindowFixture::Device::Normal);
    f.window()->on_click_main_user();
    DialogAnswers answers;
    answers.pick(path);
    const int reports = f.device->reportCount();
    f.ui()->pushButton_logo->click();

    QCOMPARE(answers.boxes.count(), 1);
    QCOMPARE(answers.boxes.boxes().first().title, title);
    QCOMPARE(answers.boxes.texts().first(), before + path + after);
    QVERIFY(!answers.boxes.boxes().first().hasParent);
    QCOMPARE(f.ui()->lineEdit_2->text(), path);
    QCOMPARE(reportCodes(*f.device, reports), codes);
    QCOMPARE(f.device->logo(), logo);
    QCOMPARE(f.device->logoComplete(), !codes.isEmpty());
    QCOMPARE(f.device->problems(), QStringList());
    QCOMPARE(!f.ui()->label_16->isHidden(), !codes.isEmpty());
}

void TestLogo::failedWrite()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    f.window()->on_click_main_user();
    DialogAnswers answers;
    const QString path = writeFile("logo.txt", logoText(32));
    answers.pick(path);
    f.device->vanishAfter(3);
    f.ui()->pushButton_logo->click();

    QCOMPARE(answers.boxes.count(), 1);
    QCOMPARE(answers.boxes.boxes().first().title, QString("failed"));
    QCOMPARE(answers.boxes.texts().first(), "Send  file " + path + " failed");
    QVERIFY(f.ui()->label_16->isHidden());
    QVERIFY(!f.device->logoComplete());
}

void TestLogo::eachPickHasItsOwnDialog()
{
    WindowFixture f("0", WindowFixture::Device::Normal);
    DialogAnswers answers;
    f.ui()->pushButton_logo->click();
    f.ui()->pushButton_logo->click();

    QCOMPARE(answers.dialogs().size(), 2);
    for (const DialogAnswers::Seen &dialog : answers.dialogs()) {
        QCOMPARE(dialog.title, QString("Open Image"));
        QCOMPARE(dialog.filters, QStringList("All Files (*)")); // none set
        QCOMPARE(dialog.directory, QDir::currentPath());
    }
    // Each is gone once its pick is made; only the firmware dialog stays.
    QCOMPARE(f.window()->findChildren<QFileDialog *>().size(), 1);
}

QTEST_MAIN(TestLogo)
#include "tst_logo.moc"
