#include "app/launch.h"

#include "app/mainwindow.h"

#include <QFont>

namespace {

// The form names the Windows families of its Chinese fonts; elsewhere they
// stand for the CJK font the program is installed with.
void substituteFormFonts()
{
    const QStringList cjk = {"WenQuanYi Zen Hei", "WenQuanYi Micro Hei", "Noto Sans CJK SC"};
    for (const char *family : {"华文中宋", "仿宋", "微软雅黑"})
        QFont::insertSubstitutions(QString::fromUtf8(family), cjk);
}

} // namespace

void leaveOpenGlUnloaded()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
}

std::unique_ptr<MainWindow> launchMainWindow()
{
    substituteFormFonts();
    auto window = std::make_unique<MainWindow>();
    window->setWindowTitle("Korvane");
    window->show();
    return window;
}
