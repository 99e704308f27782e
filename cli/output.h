#pragma once

#include "cli/settingsform.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

class QTextStream;

// What korvane-cli tells: results on stdout, as plain lines or as JSON;
// errors, traces and progress on stderr, so that stdout stays parseable.
class Output
{
public:
    Output(QTextStream &out, QTextStream &err, bool json);

    bool json() const { return asJson; }
    QTextStream &progress() { return err; }

    void settings(const QList<SettingRow> &rows);
    // One result: the sentence as a line, or the fields as a JSON object.
    void result(const QString &sentence, const QJsonObject &fields);
    // One line per item, or the items as a JSON array.
    void list(const QStringList &lines, const QJsonArray &items);
    // A remark on stderr, plain also with --json: "korvane-cli: text".
    void note(const QString &text);
    // One line on stderr; with --json the object {"error": message}.
    void error(const QString &message);
    void trace(char direction, const QByteArray &report);

private:
    void printJson(const QJsonObject &object);

    QTextStream &out;
    QTextStream &err;
    const bool asJson;
};
