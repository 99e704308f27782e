#include "app/writefile.h"

#include "protocol/protocol.h"

#include <QtDebug>
#include <cstdint>

writefile::writefile(Protocol *protocol) : protocol(protocol) {}

void writefile::transfer(const QByteArray &image)
{
    this->image = image;
    start();
}

void writefile::run()
{
    protocol->sendFile(reinterpret_cast<const uint8_t *>(image.constData()), image.size());
    image.clear();
    qDebug() << "upgrade end";
}
