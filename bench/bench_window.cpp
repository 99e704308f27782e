// The window: one refresh pass with nothing to change, the processor time the
// idle window keeps busy, and start-up of the program to its shown window.
#include "app/launch.h"
#include "app/mainwindow.h"
#include "sim/simbus.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <ctime>
#include <memory>

namespace {

struct ShownWindow
{
    ShownWindow()
    {
        bus.attach("/dev/hidraw0", heater);
        window = launchMainWindow();
        settle(200);
    }
    // Lets the event loop run, refresh passes included.
    static void settle(int milliseconds)
    {
        QEventLoop loop;
        QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }

    SimBus bus;
    std::shared_ptr<SimDevice> heater = std::make_shared<SimDevice>();
    std::unique_ptr<MainWindow> window;
};

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

void refreshPassWithNothingChanged(benchmark::State &state)
{
    ShownWindow shown;
    for (auto _ : state)
        shown.window->update1();
}
BENCHMARK(refreshPassWithNothingChanged);

void idleWindowProcessorUse(benchmark::State &state)
{
    ShownWindow shown;
    for (auto _ : state) {
        QElapsedTimer wall;
        wall.start();
        const double before = processorSeconds();
        ShownWindow::settle(2000);
        const double busy = processorSeconds() - before;
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        state.SetIterationTime(seconds);
        state.counters["cpu_percent"] = 100.0 * busy / seconds;
    }
}
BENCHMARK(idleWindowProcessorUse)->Iterations(1)->Repetitions(3)->UseManualTime()->Unit(benchmark::kSecond);

// The probe beside this program starts as the program does and reports once
// its window is exposed; the time includes starting the process.
void startUpToShownWindow(benchmark::State &state)
{
    const QString probe = QCoreApplication::applicationDirPath() + "/korvane_startup";
    QTemporaryDir folder; // the window remembers its language there
    long peakKiB = 0;
    for (auto _ : state) {
        QProcess process;
        process.setWorkingDirectory(folder.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_CONFIG_HOME", folder.path());
        process.setProcessEnvironment(environment);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QElapsedTimer timer;
        timer.start();
        process.start(probe, {"-platform", "offscreen"});
        while (!process.canReadLine() && process.waitForReadyRead(10000)) {
        }
        const double seconds = double(timer.nsecsElapsed()) / 1e9;
        const QList<QByteArray> words = process.readLine().trimmed().split(' ');
        process.waitForFinished(10000);
        if (words.size() != 2 || words[0] != "shown") {
            state.SkipWithError("the probe did not report a shown window");
            break;
        }
        state.SetIterationTime(seconds);
        peakKiB = std::max(peakKiB, words[1].toLong());
    }
    state.counters["peak_rss_MiB"] = double(peakKiB) / 1024.0;
}
BENCHMARK(startUpToShownWindow)->Iterations(1)->Repetitions(9)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace
