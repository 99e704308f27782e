#include "cli/assignments.h"

#include "params/paramter.h"

#include <cmath>

namespace {

enum Kind { Name, Whole, Real };

// Bit 7 of the byte that keeps the atomizer type is the unit.
constexpr int LastAtomizerIndex = 0x7F;

QStringList buildKeys()
{
    QStringList keys = {"mode",        "screen-timeout", "power",        "preheat-time", "preheat-power",
                        "temperature", "unit",           "compensation", "atomizer"};
    for (int slot = 1; slot <= Parameter::SlotCount; ++slot)
        keys << QString("tcr.M%1").arg(slot);
    for (int slot = 1; slot <= Parameter::SlotCount; ++slot)
        for (int point = 0; point < Parameter::PointCount; ++point)
            keys << QString("tfr.M%1.%2").arg(slot).arg(100 + 50 * point);
    return keys;
}

Kind kindOf(const QString &key)
{
    if (key == "mode" || key == "unit" || key == "atomizer")
        return Name;
    if (key == "screen-timeout" || key == "temperature" || key == "compensation")
        return Whole;
    return Real;
}

QStringList namesOf(const QString &key)
{
    if (key == "mode")
        return {"power", "temp"};
    if (key == "unit")
        return {"C", "F"};
    return Assignments::atomizerNames();
}

QString choicesOf(const QString &key)
{
    const QString names = namesOf(key).join(", ");
    if (key != "atomizer")
        return names;
    return QString("%1 or an index %2..%3").arg(names).arg(namesOf(key).size()).arg(LastAtomizerIndex);
}

// The value as it is kept, or empty when it is none of the key's. A type the
// device holds beyond the named ones is shown by its index, and must be taken
// back as such.
QString canonicalName(const QString &key, const QString &value)
{
    const QStringList names = namesOf(key);
    for (const QString &name : names)
        if (name.compare(value, Qt::CaseInsensitive) == 0)
            return name;
    bool ok = false;
    const int index = value.toInt(&ok, 10);
    if (key == "atomizer" && ok && index >= names.size() && index <= LastAtomizerIndex)
        return QString::number(index);
    return QString();
}

} // namespace

const QStringList &Assignments::keys()
{
    static const QStringList all = buildKeys();
    return all;
}

bool Assignments::isNumeric(const QString &key)
{
    return kindOf(key) != Name;
}

const QStringList &Assignments::atomizerNames()
{
    static const QStringList names = {"NI200",  "TI1",    "SS304",  "SS316",  "SS317",  "TCR-M1", "TCR-M2", "TCR-M3",
                                      "TCR-M4", "TCR-M5", "TFR-M1", "TFR-M2", "TFR-M3", "TFR-M4", "TFR-M5"};
    return names;
}

QString Assignments::take(const QString &assignment)
{
    const int equals = assignment.indexOf('=');
    if (equals <= 0)
        return QString("%1: expected KEY=VALUE").arg(assignment);
    return take(assignment.left(equals), assignment.mid(equals + 1));
}

QString Assignments::take(const QString &key, const QString &text)
{
    if (!keys().contains(key))
        return QString("unknown setting %1; the settings are %2").arg(key, keys().join(", "));
    const QString value = text.trimmed();
    bool ok = false;
    switch (kindOf(key)) {
    case Name: {
        const QString name = canonicalName(key, value);
        if (name.isEmpty())
            return QString("%1: \"%2\" is not one of %3").arg(key, value, choicesOf(key));
        given[key] = name;
        return QString();
    }
    case Whole:
        value.toInt(&ok, 10);
        break;
    case Real: {
        const double number = value.toDouble(&ok);
        ok = ok && std::isfinite(number);
        break;
    }
    }
    if (!ok)
        return QString("%1: \"%2\" is not a %3").arg(key, value, kindOf(key) == Whole ? "whole number" : "number");
    given[key] = value;
    return QString();
}
