#include "tests/realhid/testbed.h"

#include "tests/realhid/heaterscript.h"
#include "tests/realhid/hidrawnode.h"

#include <QFile>

// glib's headers use a word that Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <umockdev.h>
#pragma pop_macro("signals")

namespace {

bool save(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

} // namespace

Testbed::Testbed() : bed(umockdev_testbed_new()) {}

Testbed::~Testbed()
{
    g_object_unref(bed);
}

// umockdev_in_mock_environment() says no even under the wrapper, so look for what the wrapper does.
bool Testbed::active()
{
    return qEnvironmentVariable("LD_PRELOAD").contains("libumockdev-preload");
}

// umockdev wants the ioctl record before the node and the script after it; the
// window learns of the arrival only once this returns to the event loop, by
// when both are in place.
bool Testbed::plug(const HidrawNode &node, const HeaterScript *script)
{
    const QByteArray device = node.devicePath().toUtf8();
    const QString name = files.filePath(node.devicePath().section('/', -1));
    GError *failure = nullptr;
    bool ok = save(name + ".ioctl", node.ioctlRecord()) &&
              umockdev_testbed_load_ioctl(bed, device.constData(), QFile::encodeName(name + ".ioctl"), &failure);
    // Parents first: each is announced as it is added.
    ok = ok && umockdev_testbed_add_from_string(bed, node.description().constData(), &failure);
    if (ok && script)
        ok = save(name + ".script", script->text()) &&
             umockdev_testbed_load_script(bed, device.constData(), QFile::encodeName(name + ".script"), &failure);
    problem = failure ? QString::fromUtf8(failure->message) : ok ? QString() : "cannot write " + name;
    g_clear_error(&failure);
    return ok;
}

// The node first, then its parents. Removing a device announces nothing, so
// each is announced just before it goes; the window looks only once this has
// returned, when the node is gone as it would be after a real removal.
void Testbed::unplug(const HidrawNode &node)
{
    const QStringList paths = node.sysPaths();
    for (auto path = paths.rbegin(); path != paths.rend(); ++path) {
        const QByteArray device = path->toUtf8();
        umockdev_testbed_uevent(bed, device.constData(), "remove");
        umockdev_testbed_remove_device(bed, device.constData());
    }
}
