#include "cli/output.h"

#include "cli/profile.h"

#include <QJsonDocument>
#include <QTextStream>
#include <algorithm>

Output::Output(QTextStream &stdOut, QTextStream &stdErr, bool json) : out(stdOut), err(stdErr), asJson(json) {}

void Output::settings(const QList<SettingRow> &rows)
{
    if (asJson) {
        printJson(Profile::toJson(rows));
        return;
    }
    int width = 0;
    for (const SettingRow &row : rows)
        width = std::max(width, row.key.size());
    for (const SettingRow &row : rows) {
        const QString line = row.key.leftJustified(width + 2) + row.value + (row.unit.isEmpty() ? "" : " " + row.unit);
        out << line << '\n';
    }
    out.flush();
}

void Output::result(const QString &sentence, const QJsonObject &fields)
{
    if (asJson)
        printJson(fields);
    else
        out << sentence << '\n';
    out.flush();
}

void Output::list(const QStringList &lines, const QJsonArray &items)
{
    if (asJson)
        out << QJsonDocument(items).toJson(QJsonDocument::Indented);
    else
        for (const QString &line : lines)
            out << line << '\n';
    out.flush();
}

void Output::note(const QString &text)
{
    err << "korvane-cli: " << text << '\n';
    err.flush();
}

void Output::error(const QString &message)
{
    if (asJson)
        err << QJsonDocument(QJsonObject{{"error", message}}).toJson(QJsonDocument::Compact) << '\n';
    else
        err << message << '\n';
    err.flush();
}

void Output::trace(char direction, const QByteArray &report)
{
    err << direction << ' ' << report.toHex(' ') << '\n';
    err.flush();
}

void Output::printJson(const QJsonObject &object)
{
    out << QJsonDocument(object).toJson(QJsonDocument::Indented);
    out.flush();
}
