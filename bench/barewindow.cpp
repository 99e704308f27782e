// What the window's costs are compared with: a bare Qt Widgets window of the
// same size that shows one label. With --report-shown it reports like the
// start-up probe and leaves; otherwise it stays open.
#include "bench/shownreport.h"

#include <QApplication>
#include <QLabel>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("Korvane"));
    window.setFixedSize(1157, 638);
    window.setWindowTitle(QStringLiteral("Korvane"));
    window.show();
    if (app.arguments().contains(QStringLiteral("--report-shown")))
        reportWhenShown(app, window);
    return app.exec();
}
