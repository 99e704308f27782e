#pragma once

class QImage;
class QSize;

// The illustrations of the logo page.
QImage scrollWithQuill(const QSize &size);
QImage planeOverMap(const QSize &size);
