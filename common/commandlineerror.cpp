#include "common/commandlineerror.h"

QString CommandLineError::text(const QString &program, const QString &problem)
{
    return QString("%1: %2\nTry '%1 --help' for more information.\n").arg(program, problem);
}
