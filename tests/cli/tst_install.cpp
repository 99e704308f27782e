#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int ToolMs = 240000;

const QList<int> IconSides = {16, 22, 24, 32, 48, 64, 128, 256};

QString iconFile(int side)
{
    return QString("share/icons/hicolor/%1x%1/apps/korvane.png").arg(side);
}

QStringList installedFiles()
{
    QStringList files = {
        "bin/korvane",
        "bin/korvane-cli",
        "bin/korvane-devsim",
        "lib/udev/rules.d/70-korvane.rules",
        "share/applications/korvane.desktop",
        "share/bash-completion/completions/korvane-cli",
        "share/doc/korvane/changelog.gz",
        "share/doc/korvane/copyright",
        "share/man/man1/korvane-cli.1.gz",
        "share/man/man1/korvane-devsim.1.gz",
        "share/man/man1/korvane.1.gz",
        "share/metainfo/org.korvane.korvane.metainfo.xml",
    };
    for (int side : IconSides)
        files << iconFile(side);
    files.sort();
    return files;
}

const QByteArray Rule = R"(SUBSYSTEM=="hidraw", ATTRS{idVendor}=="0483", ATTRS{idProduct}=="5750", TAG+="uaccess")";

struct Tool
{
    int code = -1;
    QByteArray out;
};

Tool run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    Tool tool;
    if (!process.waitForFinished(ToolMs)) {
        process.kill();
        process.waitForFinished(ToolMs);
        return tool;
    }
    tool.code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    tool.out = process.readAllStandardOutput();
    return tool;
}

QStringList filesUnder(const QString &root)
{
    QStringList files;
    QDirIterator walk(root, QDir::Files, QDirIterator::Subdirectories);
    while (walk.hasNext())
        files << QDir(root).relativeFilePath(walk.next());
    files.sort();
    return files;
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

// cmake --install and the .deb that CPack builds from the same rules.
class TestInstall : public QObject
{
    Q_OBJECT

private slots:
    void installLaysOutTheFiles();
    void debPackageHoldsThemUnderUsr();
};

void TestInstall::installLaysOutTheFiles()
{
    QTemporaryDir stage;
    QCOMPARE(run(CMAKE_COMMAND, {"--install", KORVANE_BINARY_DIR, "--prefix", stage.path()}).code, 0);
    QCOMPARE(filesUnder(stage.path()), installedFiles());
    for (const QString &program : installedFiles().mid(0, 3))
        QVERIFY(QFileInfo(stage.filePath(program)).isExecutable());

    const QStringList entry = QString(contentOf(stage.filePath("share/applications/korvane.desktop"))).split('\n');
    QCOMPARE(entry.first(), QString("[Desktop Entry]"));
    for (const char *line : {"Type=Application", "Name=Korvane", "Exec=korvane", "Icon=korvane", "Terminal=false"})
        QVERIFY2(entry.contains(line), line);
    for (int side : IconSides)
        QCOMPARE(QImageReader(stage.filePath(iconFile(side))).size(), QSize(side, side));
    QVERIFY(contentOf(stage.filePath("lib/udev/rules.d/70-korvane.rules")).split('\n').contains(Rule));

    const Tool help = run(stage.filePath("bin/korvane-cli"), {"--help"});
    QCOMPARE(help.code, 0);
    QVERIFY(help.out.startsWith("usage: korvane-cli"));
}

void TestInstall::debPackageHoldsThemUnderUsr()
{
    QTemporaryDir out;
    QCOMPARE(
        run(CPACK_COMMAND, {"-G", "DEB", "--config", KORVANE_BINARY_DIR "/CPackConfig.cmake", "-B", out.path()}).code,
        0);
    const QStringList packages = QDir(out.path()).entryList({"*.deb"});
    QCOMPARE(packages.size(), 1);
    const QString deb = out.filePath(packages.first());

    const QByteArray listing = run("dpkg-deb", {"--contents", deb}).out;
    for (const QString &file : installedFiles())
        QVERIFY2(listing.contains(" ./usr/" + file.toUtf8() + "\n"), qPrintable(file));
    const QByteArray fields = run("dpkg-deb", {"--field", deb, "Package", "Depends", "Recommends"}).out;
    QVERIFY(fields.startsWith("Package: korvane\n"));
    for (const char *library : {"libqt5widgets5", "libhidapi-hidraw0", "libudev1"})
        QVERIFY2(fields.contains(library), library);
    QVERIFY(fields.contains("Recommends: fonts-noto-cjk | fonts-wqy-microhei"));
    QVERIFY(run("dpkg-deb", {"--info", deb, "postinst"}).out.contains("udevadm trigger --subsystem-match=hidraw"));
    QVERIFY(run("dpkg-deb", {"--info", deb, "postrm"}).out.contains("udevadm control --reload-rules"));
}

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
