#pragma once

#include "cli/cli.h"
#include "sim/simbus.h"
#include "tests/support/logcapture.h"
#include "tests/support/writefile.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <memory>

struct CliRun
{
    int code = -1;
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
};

// One command in this process, its diagnostics kept out of the test's output.
inline CliRun cli(const QString &line)
{
    CliRun run;
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    LogCapture quiet;
    run.code = Cli::run(line.split(' ', Qt::SkipEmptyParts), out, err);
    out.flush();
    err.flush();
    qunsetenv("KORVANE_DEVICE"); // --device leaves it for the link
    return run;
}

// A program already set up in `process`, within a minute.
inline CliRun runProcess(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.start(program, arguments);
    if (!process.waitForFinished(60000))
        process.kill();
    process.waitForFinished();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
}

inline QString sha256(const QByteArray &data)
{
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

// A simulated bus with one heater on it, or none, for korvane-cli in this process.
struct Bench
{
    explicit Bench(bool plugged = true, const QString &settings = {})
    {
        if (plugged)
            bus.attach("/dev/hidraw0", device);
        configure(*device, settings);
    }
    // Settings as "6:02 3:01f4...": code and payload.
    static void configure(SimDevice &heater, const QString &settings)
    {
        for (const QString &entry : settings.split(' ', Qt::SkipEmptyParts))
            heater.setSetting(entry.section(':', 0, 0).toInt(), QByteArray::fromHex(entry.section(':', 1).toLatin1()));
    }
    QList<QByteArray> settings() const
    {
        QList<QByteArray> all;
        for (int code = 1; code <= 6; ++code)
            all << device->setting(code);
        return all;
    }
    // True when nothing but the handshake and read requests came over the wire.
    bool nothingWritten() const
    {
        for (const QByteArray &report : device->reports())
            if (uint8_t(report[1]) != 0x72 && !(uint8_t(report[1]) & 0x80))
                return false;
        return true;
    }
    SimBus bus;
    std::shared_ptr<SimDevice> device = std::make_shared<SimDevice>();
};

inline QByteArray tfrDefaultsWith(int index, const char *word)
{
    return QByteArray::fromHex("2710").repeated(25).replace(2 * index, 2, QByteArray::fromHex(word));
}

// Temperature mode in Fahrenheit, 25 s, TFR-M5: every setting off the defaults.
inline const QString Configured = "1:00c80131270f 2:09c4 3:01f4018800148ef6fd00 4:00013039ea6000000027 6:02 5:" +
                                  QString(tfrDefaultsWith(5, "1388").toHex());
