#include "common/log.h"
#include "tests/support/logcapture.h"

#include <QtTest>

class TestLog : public QObject
{
    Q_OBJECT

private slots:
    void structuredLinesCarryLineFunctionAndFileBaseName()
    {
        LogCapture log;
        const int line = __LINE__ + 1;
        LOG_WARN("input data length:%d is ill\n\n", 61);
        const QString expected =
            QString::asprintf(" Warn ---Line:[%4d] Fun:[%s] File:[tst_log] input data length:61 is ill\n\n", line,
                              "structuredLinesCarryLineFunctionAndFileBaseName");
        QCOMPARE(log.messages(), QStringList{expected});
    }

    void errorLinesHaveNoBlankBeforeTheMessage()
    {
        LogCapture log;
        LOG_ERROR("requers size too big\n\n");
        QCOMPARE(log.messages().size(), 1);
        QVERIFY(log.messages().first().startsWith(" Error ---Line:["));
        QVERIFY(log.messages().first().endsWith("File:[tst_log]requers size too big\n\n"));
    }

    void infoLinesAndPlainRecords()
    {
        LogCapture log;
        LOG_INFO("work mode:%d \n\n", 2);
        Log::plain("01 ab 00 ");
        QCOMPARE(log.messages().size(), 2);
        QVERIFY(log.messages().at(0).startsWith(" Info ---Line:["));
        QVERIFY(log.messages().at(0).endsWith("File:[tst_log] work mode:2 \n\n"));
        QCOMPARE(log.messages().at(1), QString("01 ab 00 "));
    }

    // QT_LOGGING_RULES picks lines by the folder of the code that writes them;
    // the lines themselves stay in the default category.
    void folderCategoryDecidesWhetherLinesAreWritten()
    {
        LogCapture log;
        QLoggingCategory::setFilterRules("korvane.common.debug=false");
        LOG_WARN("input data length:%d is ill\n\n", 61);
        Log::plain("01 ab 00 ");
        LOG_TRACE() << "usb open" << false;
        Log::plain("written", "/src/link/usb.cpp");
        QLoggingCategory::setFilterRules(QString());
        LOG_TRACE() << "usb open" << true;
        QCOMPARE(log.messages(), (QStringList{"written", "usb open true"}));
    }

    void fileBaseNameDropsFolderAndExtension()
    {
        QCOMPARE(Log::fileBaseName("/src/params/paramter.cpp"), QString("paramter"));
        QCOMPARE(Log::fileBaseName("usboption.cpp"), QString("usboption"));
    }
};

QTEST_GUILESS_MAIN(TestLog)
#include "tst_log.moc"
