#include "console/ConfigFile.h"

#include "pages/kit/AddressText.h"

#include <QFile>
#include <QIODevice>
#include <QSaveFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

// Four decimal numbers up to 255, none with a leading zero (octal to
// inet_addr), and nothing else: what inet_addr makes of them; false for any
// other text.
bool ParsePlainQuad(QStringView text, std::uint32_t& address)
{
    std::uint32_t value = 0;
    int part = 0, digits = 0;
    unsigned number = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= '0' && u <= '9') {
            if ((digits == 1 && number == 0) || ++digits > 3)
                return false;
            number = number * 10 + unsigned(u - '0');
        } else if (u == '.' && digits > 0 && part < 3) {
            if (number > 255)
                return false;
            value = value << 8 | number;
            ++part;
            digits = 0;
            number = 0;
        } else {
            return false;
        }
    }
    if (part != 3 || digits == 0 || number > 255)
        return false;
    address = value << 8 | number;
    return true;
}

// inet_addr stops at any byte beyond ASCII (failing, or ignoring it after a
// space): such a character goes as one such byte, no UTF-8 copy needed.
std::uint32_t ParseDotted(QStringView text)
{
    std::uint32_t plain = 0;
    if (ParsePlainQuad(text, plain))
        return plain;
    std::string ascii(std::size_t(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        ascii[std::size_t(i)] = c < 0x80 ? char(c) : '\x80';
    }
    return StringToIp(ascii);
}

// Far deeper and wider than the format's own elements (four levels, two
// attributes), which are read wherever other elements sit beside them.
constexpr int kMaxConfigDepth = 64;
constexpr int kMaxConfigAttributes = 16;
// The shortest unicast entry: <a Address="1.1"/>.
constexpr qsizetype kMinFilterSize = 18;

// The document as the XML reader's device. Bytes go to the reader only once
// the start tags they hold are checked for more attributes than
// kMaxConfigAttributes: the reader compares each attribute with the tag's
// others before it reports the tag. Counts the "=" outside quotes of each
// start tag; comments, CDATA and processing instructions are skipped, and end
// tags and declarations end at their first ">" or "<" (a quoted one in a
// declaration can only make tags counted, never hidden).
class TCheckedDocument final : public QIODevice {
public:
    explicit TCheckedDocument(const QByteArray& document) : m_Document(document), m_Scanned(document.constData())
    {
        open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    bool TooManyAttributes() const { return m_Refused; }
    qint64 size() const override { return m_Document.size(); }

protected:
    qint64 readData(char* data, qint64 max) override
    {
        const qint64 count = std::min(max, qint64(m_Document.size()) - m_Read);
        m_Refused = m_Refused || !CheckTagsBefore(m_Document.constData() + m_Read + count);
        if (m_Refused)
            return -1;
        std::memcpy(data, m_Document.constData() + m_Read, std::size_t(count));
        m_Read += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    // Checks every tag that starts before until, each to its end.
    bool CheckTagsBefore(const char* until);

    const QByteArray& m_Document;
    const char* m_Scanned;  // tags starting before it are checked
    qint64 m_Read = 0;
    bool m_Refused = false;
};

bool TCheckedDocument::CheckTagsBefore(const char* until)
{
    const char* const begin = m_Document.constData();
    const char* const end = begin + m_Document.size();
    const char*& p = m_Scanned;
    auto skipPast = [&](const char* close) {
        const qsizetype at = m_Document.indexOf(close, p - begin);
        p = at < 0 ? end : begin + at + qsizetype(std::strlen(close));
    };
    while (p < until) {
        p = static_cast<const char*>(std::memchr(p, '<', std::size_t(end - p)));
        if (!p) {
            p = end;
            break;
        }
        const char next = end - p > 1 ? p[1] : '/';  // a last "<" opens no tag
        if (next == '!' || next == '?') {
            const QByteArrayView rest(p, end - p);
            if (rest.startsWith("<!--")) {
                skipPast("-->");
                continue;
            }
            if (rest.startsWith("<![CDATA[")) {
                skipPast("]]>");
                continue;
            }
            if (next == '?') {
                skipPast("?>");
                continue;
            }
        }
        const bool startTag = next != '!' && next != '/';
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
    }
    return true;
}

// A "Filter" entry into the unicast entries or the local subnets; false when
// the list is full.
bool AddFilter(const QXmlStreamAttributes& attributes, Filter::TFilterSettings& read)
{
    if (!attributes.hasAttribute(QLatin1String("Address")))
        return true;
    const std::uint32_t address = ParseDotted(attributes.value(QLatin1String("Address")));
    if (!IsValidHostIp(address))
        return true;
    std::uint32_t mask = 0xFFFFFFFFu;
    if (attributes.hasAttribute(QLatin1String("Mask"))) {
        mask = ParseDotted(attributes.value(QLatin1String("Mask")));
        if (!IsValidNetmask(mask))
            return true;
    }
    TIpMaskList& list = mask == 0xFFFFFFFFu ? read.Unicasts : read.LocalSubnets;
    if (list.size() >= kMaxConfigEntries)
        return false;
    list.push_back({address, mask});
    return true;
}

// The text values of "Discovery", each read from its first element.
enum TConfigValue { cvMethod, cvAddress, cvMask, cvBegin, cvEnd, cvFilters, cvNone };

TConfigValue ValueNamed(QStringView name)
{
    static constexpr const char* kNames[] = {"Method", "Address", "Mask", "BeginAddr", "EndAddr", "Filters"};
    for (int value = cvMethod; value < cvNone; ++value)
        if (name == QLatin1String(kNames[value]))
            return TConfigValue(value);
    return cvNone;
}

void ApplyValue(TConfigValue value, const QString& text, Filter::TFilterSettings& read)
{
    switch (value) {
    case cvMethod: {
        bool ok = false;
        const int method = text.trimmed().toInt(&ok, 10);
        if (ok)
            read.Method = std::uint8_t(unsigned(method));
        break;
    }
    case cvAddress: read.Address = ParseDotted(text); break;
    case cvMask: read.Mask = ParseDotted(text); break;
    case cvBegin: read.Begin = ParseDotted(text); break;
    case cvEnd: read.End = ParseDotted(text); break;
    case cvFilters:
    case cvNone: break;
    }
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
    // One pass of the XML reader over the document; the elements read are the
    // first "Discovery" under the root, and under it the first of each value
    // and the children of the first "Filters".
    TCheckedDocument source(document);
    QXmlStreamReader reader(&source);
    reader.setNamespaceProcessing(false);
    Filter::TFilterSettings read;
    // Room for every unicast entry the document can hold, taken in one go:
    // what is never filled is never touched.
    read.Unicasts.reserve(std::min(kMaxConfigEntries, std::size_t(document.size() / kMinFilterSize)));
    bool dtdAllowed = true, discoverySeen = false, inDiscovery = false, inFilters = false;
    bool valueSeen[cvNone] = {};
    TConfigValue reading = cvNone;  // the value whose text is gathered
    QString text;
    int depth = 0;
    // Ends at the document's end or the first error, a refusal of the device too.
    for (bool more = true; more;) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            dtdAllowed = false;
            if (++depth > kMaxConfigDepth)
                return crFailed;
            if (depth == 2 && !discoverySeen && reader.qualifiedName() == QLatin1String("Discovery")) {
                discoverySeen = inDiscovery = true;
            } else if (depth == 3 && inDiscovery) {
                const TConfigValue value = ValueNamed(reader.qualifiedName());
                if (value != cvNone && !valueSeen[value]) {
                    valueSeen[value] = true;
                    inFilters = value == cvFilters;
                    reading = inFilters ? cvNone : value;
                }
            } else if (depth == 4 && inFilters && !AddFilter(reader.attributes(), read)) {
                return crFailed;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (depth == 3 && reading != cvNone) {
                ApplyValue(reading, text, read);
                reading = cvNone;
                text.clear();
            }
            inFilters = inFilters && depth != 3;
            inDiscovery = inDiscovery && depth != 2;
            --depth;
            break;
        case QXmlStreamReader::DTD:
            // The reader also takes a second one, and one after the root's
            // start; XML and the document model don't.
            if (!dtdAllowed)
                return crFailed;
            dtdAllowed = false;
            break;
        case QXmlStreamReader::Characters:
            // Text of only spaces, unless CDATA, is no text node of the element.
            if (reading != cvNone && (reader.isCDATA() || !reader.text().trimmed().isEmpty()))
                text += reader.text();
            break;
        case QXmlStreamReader::EndDocument:
        case QXmlStreamReader::Invalid:
            more = false;
            break;
        default:
            break;
        }
    }
    if (reader.hasError() || source.TooManyAttributes())
        return crFailed;
    if (!discoverySeen)
        return crNoDiscovery;
    if (read.Unicasts.size() < read.Unicasts.capacity() / 2)
        read.Unicasts.shrink_to_fit();
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
