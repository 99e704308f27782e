// Makes the icons of PNG files, the form's and the style sheets' images among
// them, with SharedPixmapIconEngine. A static plugin that registers itself, so
// every program linking the window has it.
#include "app/sharedpixmapiconengine.h"

#include <QIconEnginePlugin>
#include <QtPlugin>

class SharedPixmapIconPlugin : public QIconEnginePlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QIconEngineFactoryInterface_iid FILE "sharedpixmapiconplugin.json")

public:
    // QIcon adds the file itself once the engine exists.
    QIconEngine *create(const QString &) override { return new SharedPixmapIconEngine; }
};

Q_IMPORT_PLUGIN(SharedPixmapIconPlugin)

#include "sharedpixmapiconplugin.moc"
