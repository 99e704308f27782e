#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"

#include <QComboBox>
#include <QLineEdit>
#include <QtTest>

// The refresh that keeps the window in step with the link runs once a frame:
// between two passes the event loop sleeps, and a pass in which nothing changed
// touches no widget. What changes shows at the next pass (the device tests
// check the link's changes the same way).

// Temperature mode mirrors the power on every pass, which is no change for the widgets.
void WindowTests::refreshSleepsWhenIdleAndShowsChanges()
{
    auto *mode = f.find<QComboBox>("comboBox_workmode");
    auto *power = f.find<QLineEdit>("lineEdit_power");
    mode->setCurrentIndex(1);
    QVERIFY(f.waitForRefreshes(10));
    const int before = f.refreshPasses();
    const int reports = f.heater().reportCount();
    EventCounter changes({QEvent::Show, QEvent::Hide, QEvent::ShowToParent, QEvent::HideToParent, QEvent::EnabledChange,
                          QEvent::UpdateRequest});
    qApp->installEventFilter(&changes);
    QTest::qWait(500);
    qApp->removeEventFilter(&changes);
    // About thirty passes; a refresh on every idle pass of the loop makes thousands.
    const int passes = f.refreshPasses() - before;
    QVERIFY2(passes >= 3 && passes <= 60, qPrintable(QString("%1 passes in half a second").arg(passes)));
    QCOMPARE(f.heater().reportCount(), reports);
    QCOMPARE(changes.count, 0);

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
