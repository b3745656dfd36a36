#include "console/ConfigFile.h"

#include "pages/kit/AddressText.h"

#include <QCoreApplication>
#include <QDomDocument>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamWriter>

namespace {

std::uint32_t ParseDotted(const QString& text) { return StringToIp(text.toStdString()); }

}  // namespace

QByteArray WriteConfigDocument(const Filter::TFilterSettings& settings, const std::vector<TConfigDevice>& devices)
{
    // Written as a stream so the attributes keep their order.
    QByteArray body;
    QXmlStreamWriter out(&body);
    out.setAutoFormatting(true);
    out.setAutoFormattingIndent(2);
    out.writeStartElement(QStringLiteral("Config"));

    out.writeStartElement(QStringLiteral("Discovery"));
    out.writeTextElement(QStringLiteral("Method"), QString::number(settings.Method));
    out.writeTextElement(QStringLiteral("Address"), IpText(settings.Address));
    out.writeTextElement(QStringLiteral("Mask"), IpText(settings.Mask));
    out.writeTextElement(QStringLiteral("BeginAddr"), IpText(settings.Begin));
    out.writeTextElement(QStringLiteral("EndAddr"), IpText(settings.End));
    out.writeStartElement(QStringLiteral("Filters"));
    for (const TIpMask& unicast : settings.Unicasts) {
        out.writeEmptyElement(QStringLiteral("Filter"));
        out.writeAttribute(QStringLiteral("Address"), IpText(unicast.Address));
    }
    for (const TIpMask& subnet : settings.LocalSubnets) {
        out.writeEmptyElement(QStringLiteral("Filter"));
        out.writeAttribute(QStringLiteral("Address"), IpText(subnet.Address));
        out.writeAttribute(QStringLiteral("Mask"), IpText(subnet.Mask));
    }
    out.writeEndElement();  // Filters
    out.writeEndElement();  // Discovery

    out.writeStartElement(QStringLiteral("Devices"));
    for (const TConfigDevice& device : devices) {
        out.writeStartElement(QStringLiteral("Device"));
        out.writeAttribute(QStringLiteral("MacAddr"), device.MacAddr);
        if (!device.Type.isEmpty())
            out.writeTextElement(QStringLiteral("Type"), device.Type);
        if (device.Address != 0)
            out.writeTextElement(QStringLiteral("Address"), IpText(device.Address));
        out.writeEmptyElement(QStringLiteral("Properties"));
        out.writeEndElement();  // Device
    }
    out.writeEndElement();  // Devices
    out.writeEndElement();  // Config
    out.writeEndDocument();
    // Version 1.0 and no encoding: the text is UTF-8, XML's default.
    return "<?xml version=\"1.0\"?>\n" + body.mid(body.startsWith('\n') ? 1 : 0);
}

TConfigRead ReadConfigDocument(const QByteArray& document, Filter::TFilterSettings& settings, QString* error)
{
    QDomDocument doc;
    QString message;
    int line = 0;
    int column = 0;
    if (!doc.setContent(document, &message, &line, &column)) {
        if (error)
            *error = QObject::tr("not well-formed XML (line %1, column %2: %3)").arg(line).arg(column).arg(message);
        return crFailed;
    }
    const QDomElement discovery = doc.documentElement().firstChildElement(QStringLiteral("Discovery"));
    if (discovery.isNull())
        return crNoDiscovery;

    Filter::TFilterSettings read;
    auto text = [&](const char* name, auto apply) {
        const QDomElement element = discovery.firstChildElement(QLatin1String(name));
        if (!element.isNull())
            apply(element.text());
    };
    text("Method", [&](const QString& value) {
        bool ok = false;
        const int method = value.trimmed().toInt(&ok, 10);
        if (ok)
            read.Method = std::uint8_t(unsigned(method));
    });
    text("Address", [&](const QString& value) { read.Address = ParseDotted(value); });
    text("Mask", [&](const QString& value) { read.Mask = ParseDotted(value); });
    text("BeginAddr", [&](const QString& value) { read.Begin = ParseDotted(value); });
    text("EndAddr", [&](const QString& value) { read.End = ParseDotted(value); });

    // Every child of "Filters", whatever its name: no mask or a host mask is
    // a unicast entry, any other valid mask a local subnet.
    const QDomElement filters = discovery.firstChildElement(QStringLiteral("Filters"));
    for (QDomElement filter = filters.firstChildElement(); !filter.isNull(); filter = filter.nextSiblingElement()) {
        if (!filter.hasAttribute(QStringLiteral("Address")))
            continue;
        const std::uint32_t address = ParseDotted(filter.attribute(QStringLiteral("Address")));
        if (!IsValidHostIp(address))
            continue;
        std::uint32_t mask = 0xFFFFFFFFu;
        if (filter.hasAttribute(QStringLiteral("Mask"))) {
            mask = ParseDotted(filter.attribute(QStringLiteral("Mask")));
            if (!IsValidNetmask(mask))
                continue;
        }
        TIpMaskList& list = mask == 0xFFFFFFFFu ? read.Unicasts : read.LocalSubnets;
        if (list.size() >= kMaxConfigEntries) {
            if (error)
                *error = QObject::tr("more than %1 filter entries of one kind").arg(kMaxConfigEntries);
            return crFailed;
        }
        list.push_back({address, mask});
    }
    settings = std::move(read);
    return crRead;
}

bool SaveConfigFile(const QString& path, const QByteArray& document, QString* error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(document) == document.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    file.cancelWriting();
    return false;
}

bool ReadConfigFile(const QString& path, QByteArray& document, QString* error)
{
    QFile file(path);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly))
        bytes = file.read(kMaxConfigFileSize + 1);
    if (!file.isOpen() || file.error() != QFileDevice::NoError) {
        if (error)
            *error = file.errorString();
        return false;
    }
    if (bytes.size() > kMaxConfigFileSize) {
        if (error)
            *error = QObject::tr("the file is larger than %1 MiB").arg(kMaxConfigFileSize >> 20);
        return false;
    }
    document = std::move(bytes);
    return true;
}
