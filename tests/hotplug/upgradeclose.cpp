// Brings the window up, over a heater in its upgrade state with a firmware
// transfer whose third report is never answered ("upgrade"), or over a heater
// in normal operation with nothing being sent ("idle"), and closes it. Every
// question is answered "No" the first time and "Yes" the second. Prints what
// happened on the way; the close that is carried out has to end the process,
// so getting past the event loop is a failure.
// Arguments: upgrade|idle, then the content of language.txt.

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

namespace {

void say(const QString &line)
{
    std::puts(line.toUtf8().constData());
    std::fflush(stdout);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const bool upgrading = QString(argv[1]) == "upgrade";
    WindowFixture f(argv[2], upgrading ? WindowFixture::Device::Upgrading : WindowFixture::Device::Normal);
    DialogAnswers answers;
    answers.boxes.answerWith(QMessageBox::No);
    if (upgrading) {
        answers.pick(writeFile("firmware.bin", QByteArray(5000, 'x')));
        f.device->inject(3, SimDevice::Stall);
        QTimer::singleShot(0, [&f] { f.ui()->pushButton_bootLoaderFile->click(); });
    }

    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        writefile *writer = f.window()->firmwareWriter();
        if (upgrading && (upgradeProgress == 0 || !writer->isRunning()))
            return;
        watch.stop();
        say("closing");
        f.window()->close();
        say(QString("kept, window %1, writer %2").arg(f.window()->isVisible()).arg(writer->isRunning()));
        for (const QString &text : answers.boxes.texts())
            say(text);
        answers.boxes.answerWith(QMessageBox::Yes);
        say("closing");
        f.window()->close();
        app.quit();
    });
    watch.start(10);
    app.exec();
    return 3;
}
