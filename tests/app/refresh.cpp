#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

// The refresh that keeps the window in step with the link runs once a frame:
// between two passes the event loop sleeps, and a pass in which nothing changed
// touches no widget. What changes shows at the next pass (the device tests
// check the link's changes the same way).

void WindowTests::idleWindowSleeps()
{
    QVERIFY(f.waitForRefreshes());
    const int before = f.refreshPasses();
    const int reports = f.heater().reportCount();
    QTest::qWait(500);
    // About thirty passes; a refresh on every idle pass of the loop makes thousands.
    const int passes = f.refreshPasses() - before;
    QVERIFY2(passes >= 3 && passes <= 60, qPrintable(QString("%1 passes in half a second").arg(passes)));
    QCOMPARE(f.heater().reportCount(), reports);
}

void WindowTests::temperatureModeMirrorsThePower()
{
    auto *mode = f.find<QComboBox>("comboBox_workmode");
    auto *power = f.find<QLineEdit>("lineEdit_power");
    mode->setCurrentIndex(1);
    power->clear();
    QTest::keyClicks(power, "42");
    QVERIFY(f.waitForRefreshes(1));
    QCOMPARE(f.text("lineEdit_overshootPower"), power->text());

    mode->setCurrentIndex(0);
    const QString preheat = f.text("lineEdit_overshootPower");
    power->setText("12");
    QVERIFY(f.waitForRefreshes());
    QCOMPARE(f.text("lineEdit_overshootPower"), preheat);
}

// Counts the show, hide, enable and repaint requests of every widget.
class WidgetChanges : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        count += type == QEvent::Show || type == QEvent::Hide || type == QEvent::ShowToParent ||
                 type == QEvent::HideToParent || type == QEvent::EnabledChange || type == QEvent::UpdateRequest;
        return false;
    }
};

void WindowTests::steadyStateTouchesNoWidget()
{
    f.find<QComboBox>("comboBox_workmode")->setCurrentIndex(1); // the power is mirrored on every pass
    QVERIFY(f.waitForRefreshes(10));
    WidgetChanges changes;
    qApp->installEventFilter(&changes);
    QVERIFY(f.waitForRefreshes(30));
    qApp->removeEventFilter(&changes);
    QCOMPARE(changes.count, 0);
    f.find<QComboBox>("comboBox_workmode")->setCurrentIndex(0);
}
