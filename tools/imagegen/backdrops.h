#pragma once

class QImage;
class QSize;

// The large backgrounds: home page, top bar, page panel and the pages' backdrop.
QImage homeBackground(const QSize &size);
QImage topBarBackground(const QSize &size);
QImage pagePanel(const QSize &size);
QImage pageBackdrop(const QSize &size);
