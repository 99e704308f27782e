#pragma once

#include <QByteArray>

// count bytes that count up from first: an image or logo whose every byte tells where it belongs.
inline QByteArray counting(int count, int first = 0)
{
    QByteArray bytes;
    for (int i = first; i < first + count; ++i)
        bytes += char(i);
    return bytes;
}
