#include "tests/app/windowfixture.h"

#include "app/launch.h"
#include "app/mainwindow.h"
#include "sim/simdevice.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

const QString WindowFixture::heaterPath = "/dev/hidraw-sim0";

WindowFixture::WindowFixture() : device(std::make_shared<SimDevice>())
{
    bus.attach(heaterPath, device);
    win = launchMainWindow();
    win->findChild<QTimer *>("refreshTimer")->installEventFilter(&refreshes);
    QObject::connect(&watcher, &QTimer::timeout, [this] { answerModal(); });
    watcher.start(5);
}

WindowFixture::~WindowFixture() = default;

// The window's message boxes and dialogs are modal: they are answered from the
// event loop they run.
void WindowFixture::answerModal()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (!modal || !modal->isVisible())
        return;
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        boxes << box->windowTitle() + ": " + box->text();
        QAbstractButton *button = box->button(answer);
        return (button ? button : box->buttons().value(0))->click();
    }
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    if (!dialog || picked.isEmpty())
        return static_cast<QDialog *>(modal)->reject();
    // Typed as a user would: selectFile() leaves the name field alone while it has the
    // focus, and accept() may find the folder still being listed.
    dialog->findChild<QAbstractItemView *>("listView")->clearSelection();
    dialog->findChild<QLineEdit *>("fileNameEdit")->setText(picked);
    static_cast<QDialog *>(dialog)->done(QDialog::Accepted); // public there
}

QWidget *WindowFixture::find(const QString &name, const QMetaObject &type) const
{
    for (QWidget *widget : win->findChildren<QWidget *>(name))
        if (type.cast(widget))
            return widget;
    qFatal("no %s named %s", type.className(), qPrintable(name));
}

QStringList WindowFixture::texts(const QStringList &names) const
{
    QStringList all;
    for (const QString &name : names)
        all << text(name);
    return all;
}

void WindowFixture::setTexts(const QStringList &names, const QStringList &texts)
{
    for (int i = 0; i < names.size(); ++i)
        find<QLineEdit>(names[i])->setText(texts.value(i));
}

bool WindowFixture::waitForRefreshes(int passes)
{
    const int target = refreshes.count + passes;
    return QTest::qWaitFor([&] { return refreshes.count >= target; });
}

// The monitor handles an arrival in one go on this thread, greeting included.
bool WindowFixture::replug(bool plugIn, bool upgrading)
{
    bus.detach(heaterPath);
    if (!QTest::qWaitFor([this] { return find("homeDisconnectedIcon")->isVisibleTo(find("homeBackground")); }))
        return false;
    if (!plugIn)
        return true;
    device = std::make_shared<SimDevice>();
    device->setUpgradeState(upgrading);
    bus.attach(heaterPath, device);
    marked = 0;
    return QTest::qWaitFor([this] { return device->reportCount() > 0; }) && waitForRefreshes();
}

// Byte 0 of a report on the wire is the report ID.
QList<int> WindowFixture::codesSinceMark() const
{
    QList<int> codes;
    const QList<QByteArray> reports = device->reports();
    for (int i = reports.size() - (device->reportCount() - marked); i < reports.size(); ++i)
        codes << uint8_t(reports.value(i).at(1));
    return codes;
}
