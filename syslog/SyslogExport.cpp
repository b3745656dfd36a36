#include "syslog/SyslogExport.h"

#include <QCoreApplication>
#include <QSaveFile>

#include "pages/kit/AddressText.h"
#include "syslog/SyslogText.h"

using namespace Qt::Literals::StringLiterals;

namespace Syslog {

namespace {

// Text is flushed to the file past this many characters.
constexpr qsizetype FlushChars = 32 * 1024;

// An element's text as the XML document writer escapes it: "<" and "&",
// ">" only where it closes "]]>", carriage returns as references (a reader
// would turn a bare one into a line feed).
void AppendEscaped(QString& out, const QString& text)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'<':
            out += "&lt;"_L1;
            break;
        case u'&':
            out += "&amp;"_L1;
            break;
        case u'>':
            if (i >= 2 && text[i - 1] == u']' && text[i - 2] == u']')
                out += "&gt;"_L1;
            else
                out += c;
            break;
        case u'\r':
            out += "&#xd;"_L1;
            break;
        default:
            out += c;
        }
    }
}

void AppendChild(QString& out, QLatin1StringView name, const QString& text)
{
    out += "    <"_L1;
    out += name;
    out += u'>';
    AppendEscaped(out, text);
    out += "</"_L1;
    out += name;
    out += ">\n"_L1;
}

// The toolkit's date-and-time text: no time part at exactly midnight.
QString TimeText(TDateTime time)
{
    const QDateTime local = LocalDateTime(time);
    QString text = ShortDateText(local);
    if (local.time() != QTime(0, 0))
        text += u' ' + LongTimeText(local);
    return text;
}

void AppendEntry(QString& out, const TExportEntry& entry)
{
    out += "  <Entry EventId=\""_L1;
    out += QString::number(entry.eventId);
    out += "\">\n"_L1;
    AppendChild(out, "Facility"_L1, QString::number(entry.facility));
    AppendChild(out, "Severity"_L1, QString::number(entry.severity));
    AppendChild(out, "Address"_L1, IpText(entry.address));
    AppendChild(out, "Time"_L1, TimeText(entry.received));
    // Syslog text may hold control characters that XML cannot carry.
    AppendChild(out, "Message"_L1, XmlSafeText(MessageText(entry.message)));
    out += "  </Entry>\n"_L1;
}

} // namespace

bool WriteExport(const QString& fileName, const TExportSource& next)
{
    // Written aside and renamed, so a failed save leaves an older file whole.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QString text = "<?xml version=\"1.0\"?>\n<Syslog"_L1;
    auto flush = [&] {
        const QByteArray bytes = text.toUtf8();
        text.truncate(0);
        return file.write(bytes) == bytes.size();
    };
    bool any = false;
    TExportEntry entry;
    for (int inSlice = 0;;) {
        const TExportPull pull = next(entry);
        if (pull == TExportPull::End)
            break;
        if (pull == TExportPull::Failed) {
            file.cancelWriting();
            return false;
        }
        if (!any)
            text += ">\n"_L1;
        any = true;
        AppendEntry(text, entry);
        if (text.size() >= FlushChars && !flush()) {
            file.cancelWriting();
            return false;
        }
        if (++inSlice == ExportSliceEntries) {
            inSlice = 0;
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
    }
    // A root without entries is written empty, as the document writer does.
    text += any ? "</Syslog>\n"_L1 : "/>\n"_L1;
    if (!flush()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace Syslog
