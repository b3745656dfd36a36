#include "console/ConfigFile.h"

#include "pages/kit/AddressText.h"

#include <QDomDocument>
#include <QFile>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cstring>

namespace {

std::uint32_t ParseDotted(const QString& text) { return StringToIp(text.toStdString()); }

// Far deeper and wider than the format's own elements (four levels, two
// attributes), which are read wherever other elements sit beside them.
constexpr int kMaxConfigDepth = 64;
constexpr int kMaxConfigAttributes = 16;

// False when a start tag holds more attributes than kMaxConfigAttributes: the
// XML reader checks each attribute against the tag's others. Counts the "="
// outside quotes of each start tag; comments, CDATA and processing
// instructions are skipped, and end tags and declarations end at their first
// ">" or "<" (a quoted one in a declaration can only make tags counted,
// never hidden).
bool HasFewAttributes(const QByteArray& document)
{
    const char* p = document.constData();
    const char* const end = p + document.size();
    auto skipPast = [&](const char* close) {
        const qsizetype at = document.indexOf(close, p - document.constData());
        p = at < 0 ? end : document.constData() + at + qsizetype(std::strlen(close));
    };
    while ((p = static_cast<const char*>(std::memchr(p, '<', std::size_t(end - p)))) != nullptr) {
        const QByteArrayView rest(p, end - p);
        if (rest.startsWith("<!--")) {
            skipPast("-->");
            continue;
        }
        if (rest.startsWith("<![CDATA[")) {
            skipPast("]]>");
            continue;
        }
        if (rest.startsWith("<?")) {
            skipPast("?>");
            continue;
        }
        const bool startTag = rest.size() > 1 && rest[1] != '!' && rest[1] != '/';
        int attributes = 0;
        char quote = 0;
        // No attribute value holds a "<": one ends the tag, quoted or not.
        for (++p; p < end && *p != '<' && (quote || *p != '>'); ++p) {
            if (!startTag)
                continue;
            if (quote)
                quote = *p == quote ? 0 : quote;
            else if (*p == '"' || *p == '\'')
                quote = *p;
            else if (*p == '=' && ++attributes > kMaxConfigAttributes)
                return false;
        }
        if (p == end)
            break;
    }
    return true;
}

// False when elements nest deeper than kMaxConfigDepth: the document model
// takes time that grows faster than the depth. Well-formedness is left to it.
bool IsShallowEnough(const QByteArray& document)
{
    QXmlStreamReader reader(document);
    reader.setNamespaceProcessing(false);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement && ++depth > kMaxConfigDepth)
            return false;
        if (token == QXmlStreamReader::EndElement)
            --depth;
    }
    return true;
}

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

TConfigRead ReadConfigDocument(const QByteArray& document, Filter::TFilterSettings& settings)
{
    QDomDocument doc;
    // Files the document model would take more than linear time on are refused first.
    if (!HasFewAttributes(document) || !IsShallowEnough(document) || !doc.setContent(document))
        return crFailed;
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
        if (list.size() >= kMaxConfigEntries)
            return crFailed;
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

bool ReadConfigFile(const QString& path, QByteArray& document)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.read(kMaxConfigFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxConfigFileSize)
        return false;
    document = std::move(bytes);
    return true;
}
