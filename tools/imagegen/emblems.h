#pragma once

class QImage;
class QSize;

// The round icons of the navigation: home, connection, settings and upgrade.
QImage homeEmblem(const QSize &size);
QImage globeIcon(const QSize &size);
QImage greyGlobeIcon(const QSize &size);
QImage sparklingGlobeIcon(const QSize &size);
QImage gearsIcon(const QSize &size);
QImage upgradeArrowsIcon(const QSize &size);
