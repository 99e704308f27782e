#include "link/hidnotifier.h"

void HidNotifier::announceArrival(const QString &path)
{
    emit arrived(path);
}

void HidNotifier::announceRemoval(const QString &path)
{
    emit removed(path);
}
