#include "app/coilfields.h"
#include "app/form.h"
#include "sim/simdevice.h"
#include "tests/pages/pagefixture.h"

#include <QtTest>

// The TCR and TFR tabs against the simulated heater: counts of ten-thousandths
// on the wire, six significant digits on the screen.
class TestCoilTablePage : public QObject
{
    Q_OBJECT

private slots:
    void tcrRoundTrip_data();
    void tcrRoundTrip();
    void tfrRoundTrip();
    void tfrReadTableOrder();
    void deviceValuesSavedBack();
    void saveResults_data();
    void saveResults();
    void failedReadKeepsTheFieldsAndHoldsTheSave_data();
    void failedReadKeepsTheFieldsAndHoldsTheSave();
};

namespace {

// The 25 TFR values of the round trip and their counts: 0.0001 up to 6 in uneven steps.
QStringList tfrTexts()
{
    QStringList texts;
    for (int i = 0; i < 25; ++i)
        texts << QString::number((i * 2473 + 1) % 60001 / 10000.0, 'g', 6);
    texts[24] = "6";
    return texts;
}

QByteArray countsHex(const QStringList &texts)
{
    QByteArray hex;
    for (const QString &text : texts)
        hex += QByteArray::number(qRound(text.toDouble() * 10000), 16).rightJustified(4, '0');
    return hex;
}

} // namespace

void TestCoilTablePage::tcrRoundTrip_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("limits") << QStringList({"1.2345", "6", "0.0001", "0", "5.9999"})
                            << QByteArray("3039ea6000010000ea5f");
    QTest::newRow("short decimals") << QStringList({"0.5", "1", "2.25", "3.125", "4"})
                                    << QByteArray("1388271057e47a129c40");
}

void TestCoilTablePage::tcrRoundTrip()
{
    QFETCH(QStringList, values);
    QFETCH(QByteArray, payload);
    PageFixture f;
    const QVector<QLineEdit *> fields = CoilFields::tcr(f.ui());
    PageFixture::setTexts(fields, values);
    f.ui()->pushButton_setTCR->click();
    QCOMPARE(f.codesSinceMark(), QList<int>({4}));
    QCOMPARE(f.ui()->label_TCR_msg->text(), QString("Save TCR success"));
    QCOMPARE(f.device()->setting(4).toHex(), payload);
    PageFixture::setTexts(fields, {});
    f.ui()->pushButton_getTCR->click();
    QCOMPARE(CoilFields::texts(fields), values);
}

void TestCoilTablePage::tfrRoundTrip()
{
    PageFixture f;
    const QStringList values = tfrTexts();
    const QVector<QLineEdit *> fields = CoilFields::tfr(f.ui());
    PageFixture::setTexts(fields, values);
    f.ui()->pushButton_setTFR->click();
    QCOMPARE(f.codesSinceMark(), QList<int>({5}));
    QCOMPARE(f.ui()->label_TFR_msg->text(), QString("Save TFR success"));
    QCOMPARE(f.device()->setting(5).toHex(), countsHex(values));
    QCOMPARE(f.device()->setting(5).toHex().left(8), QByteArray("000109aa"));
    PageFixture::setTexts(fields, {});
    f.ui()->pushButton_getTFR->click();
    QCOMPARE(CoilFields::texts(fields), values);
}

void TestCoilTablePage::tfrReadTableOrder()
{
    PageFixture f;
    QByteArray payload;
    for (int i = 0; i < 25; ++i)
        payload += QByteArray::fromHex(QByteArray::number(1000 * (i + 1), 16).rightJustified(4, '0'));
    f.device()->setSetting(5, payload);
    f.ui()->pushButton_getTFR->click();
    QCOMPARE(f.codesSinceMark(), QList<int>({0x85}));
    QCOMPARE(f.ui()->lineEdit_TFR_m11->text(), QString("0.1"));
    QCOMPARE(f.ui()->lineEdit_TFR_m15->text(), QString("0.5"));
    QCOMPARE(f.ui()->lineEdit_TFR_m21->text(), QString("0.6"));
    QCOMPARE(f.ui()->lineEdit_TFR_m55->text(), QString("2.5"));
}

void TestCoilTablePage::deviceValuesSavedBack()
{
    PageFixture f;
    const QByteArray payload = QByteArray::fromHex("ea60138800003039 0001");
    f.device()->setSetting(4, payload);
    f.ui()->pushButton_getTCR->click();
    QCOMPARE(CoilFields::texts(CoilFields::tcr(f.ui())), QStringList({"6", "0.5", "0", "1.2345", "0.0001"}));
    f.device()->setSetting(4, QByteArray(10, '\0'));
    f.ui()->pushButton_setTCR->click();
    QCOMPARE(f.device()->setting(4), payload);
}

void TestCoilTablePage::saveResults_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<bool>("tfr");
    QTest::addColumn<int>("fault"); // -1: none
    QTest::addColumn<QString>("label");
    const int refused = SimDevice::Status;
    const int lost = SimDevice::Drop;
    QTest::newRow("TCR saved") << QByteArray("0") << false << -1 << "Save TCR success";
    QTest::newRow("TCR saved, Chinese") << QByteArray("1") << false << -1 << "保存TCR成功";
    QTest::newRow("TCR refused") << QByteArray("0") << false << refused << "Error    Save TCR failed";
    QTest::newRow("TCR refused, Chinese") << QByteArray("1") << false << refused << "错误    保存TCR失败";
    QTest::newRow("TCR lost") << QByteArray("0") << false << lost << "Error    Save TCR failed";
    QTest::newRow("TFR saved") << QByteArray("0") << true << -1 << "Save TFR success";
    QTest::newRow("TFR saved, Chinese") << QByteArray("1") << true << -1 << "保存TFR成功";
    QTest::newRow("TFR refused") << QByteArray("0") << true << refused << "Error    Save TRF failed";
    QTest::newRow("TFR refused, Chinese") << QByteArray("1") << true << refused << "错误    保存TFR失败";
    QTest::newRow("TFR lost") << QByteArray("0") << true << lost << "Error    Save TRF failed";
}

void TestCoilTablePage::saveResults()
{
    QFETCH(QByteArray, language);
    QFETCH(bool, tfr);
    QFETCH(int, fault);
    QFETCH(QString, label);
    PageFixture f(language.constData());
    const int code = tfr ? 5 : 4;
    const QByteArray before = f.device()->setting(code);
    const QVector<QLineEdit *> fields = tfr ? CoilFields::tfr(f.ui()) : CoilFields::tcr(f.ui());
    for (QLineEdit *field : fields)
        field->setText("2");
    if (fault >= 0)
        f.device()->inject(1, SimDevice::Fault(fault), 2);
    (tfr ? f.ui()->pushButton_setTFR : f.ui()->pushButton_setTCR)->click();
    QCOMPARE(f.codesSinceMark(), QList<int>({code}));
    QCOMPARE((tfr ? f.ui()->label_TFR_msg : f.ui()->label_TCR_msg)->text(), label);
    QCOMPARE(f.device()->setting(code) == before, fault == SimDevice::Status);
    QCOMPARE(f.boxes.count(), 0);
}

void TestCoilTablePage::failedReadKeepsTheFieldsAndHoldsTheSave_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<bool>("tfr");
    QTest::addColumn<int>("fault");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("readLabel");
    QTest::addColumn<QString>("saveLabel");
    QTest::newRow("TCR refused") << QByteArray("0") << false << int(SimDevice::Status) << 3
                                 << "Error    Read TCR failed"
                                 << "Error    Save TCR failed: Read TCR again first";
    QTest::newRow("TCR answered as TFR") << QByteArray("0") << false << int(SimDevice::Foreign) << 0x85
                                         << "Error    Read TCR failed"
                                         << "Error    Save TCR failed: Read TCR again first";
    QTest::newRow("TFR cut short, Chinese")
        << QByteArray("1") << true << int(SimDevice::Short) << 2 << "错误    读取TFR失败"
        << "错误    保存TFR失败：请先重新读取TFR";
}

// Only an answer that carried the table reaches the fields; until a read
// succeeds, Save sends nothing, and the label says why.
void TestCoilTablePage::failedReadKeepsTheFieldsAndHoldsTheSave()
{
    QFETCH(QByteArray, language);
    QFETCH(bool, tfr);
    QFETCH(int, fault);
    QFETCH(int, value);
    QFETCH(QString, readLabel);
    QFETCH(QString, saveLabel);
    PageFixture f(language.constData());
    const QVector<QLineEdit *> fields = tfr ? CoilFields::tfr(f.ui()) : CoilFields::tcr(f.ui());
    QPushButton *read = tfr ? f.ui()->pushButton_getTFR : f.ui()->pushButton_getTCR;
    QPushButton *save = tfr ? f.ui()->pushButton_setTFR : f.ui()->pushButton_setTCR;
    QLabel *label = tfr ? f.ui()->label_TFR_msg : f.ui()->label_TCR_msg;
    QStringList typed;
    for (int i = 0; i < fields.size(); ++i)
        typed << "1.5";
    PageFixture::setTexts(fields, typed);
    f.device()->inject(1, SimDevice::Fault(fault), value);
    read->click();
    QCOMPARE(CoilFields::texts(fields), typed);
    QCOMPARE(label->text(), readLabel);

    f.mark();
    save->click();
    QCOMPARE(f.codesSinceMark(), QList<int>());
    QCOMPARE(label->text(), saveLabel);

    read->click();
    QCOMPARE(label->text(), QString());
    save->click();
    const int code = tfr ? 5 : 4;
    QCOMPARE(f.codesSinceMark(), QList<int>({0x80 + code, code}));
    QCOMPARE(f.boxes.count(), 0);
}

QTEST_MAIN(TestCoilTablePage)
#include "tst_coiltablepage.moc"
