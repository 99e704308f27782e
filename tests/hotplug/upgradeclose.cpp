// Brings the window up over a heater in its upgrade state, starts a firmware
// transfer whose third report is never answered and closes the window while
// the writer thread waits for that answer. Prints "closing" just before; the
// close has to end the process, so getting past the event loop is a failure.

#include "app/form.h"
#include "app/mainwindow.h"
#include "app/writefile.h"
#include "common/processstate.h"
#include "sim/simdevice.h"
#include "tests/app/windowfixture.h"
#include "tests/hotplug/dialoganswers.h"
#include "tests/hotplug/helpers.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    WindowFixture f("0", WindowFixture::Device::Upgrading);
    DialogAnswers answers;
    answers.pick(writeFile("firmware.bin", QByteArray(5000, 'x')));
    f.device->inject(3, SimDevice::Stall);
    QTimer::singleShot(0, [&f] { f.ui()->pushButton_bootLoaderFile->click(); });

    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&f] {
        if (upgradeProgress == 0 || !f.window()->firmwareWriter()->isRunning())
            return;
        std::puts("closing");
        std::fflush(stdout);
        f.window()->close();
    });
    watch.start(10);
    app.exec();
    return 3;
}
