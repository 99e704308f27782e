#include "tests/pages/pagefixture.h"

#include "app/form.h"
#include "sim/simdevice.h"
#include "tests/hotplug/helpers.h"

#include <QLineEdit>

PageFixture::PageFixture(const char *languageFile, bool withDevice)
    : window(languageFile, withDevice ? WindowFixture::Device::Normal : WindowFixture::Device::None)
{
    mark();
}

void PageFixture::mark()
{
    marked = device() ? device()->reportCount() : 0;
}

QList<int> PageFixture::codesSinceMark() const
{
    return reportCodes(*device(), marked);
}

QByteArray PageFixture::payloadSinceMark(int n) const
{
    const QByteArray report = device()->reports().value(marked + n);
    return report.mid(3, uint8_t(report.at(2)));
}

void PageFixture::readTemperatureMode(const QByteArray &setting3Hex)
{
    device()->setSetting(6, QByteArray(1, 2));
    device()->setSetting(3, QByteArray::fromHex(setting3Hex));
    ui()->pushButton_get->click();
}

void PageFixture::setTexts(const QVector<QLineEdit *> &fields, const QStringList &texts)
{
    for (int i = 0; i < fields.size(); ++i)
        fields[i]->setText(texts.value(i));
}
