#include "syslog/SyslogText.h"

#include <QWidget>

#include <QLocale>
#include <QPainter>
#include <QPixmap>

#include "pages/kit/PageWidgets.h"

namespace Syslog {

namespace {

// Qt's long time format carries the zone name; the time alone is wanted.
QString TimeFormatWithoutZone()
{
    const QString format = QLocale::system().timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    return out.simplified();
}

QPixmap Canvas()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon DrawSeverityIcon(int image)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setBold(true);
    font.setPixelSize(11);
    p.setFont(font);
    if (image == 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD0, 0x30, 0x30));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
        p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
    } else if (image == 1) {
        p.setPen(QPen(QColor(0x80, 0x60, 0x00), 1));
        p.setBrush(QColor(0xF0, 0xC0, 0x30));
        p.drawPolygon(QPolygonF({QPointF(8, 1.5), QPointF(15, 14.5), QPointF(1, 14.5)}));
        p.setPen(Qt::black);
        p.drawText(QRectF(1, 4, 14, 11), Qt::AlignCenter, QStringLiteral("!"));
    } else {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2F, 0x6F, 0xC8));
        p.drawEllipse(QRectF(1, 1, 14, 14));
        p.setPen(Qt::white);
        p.drawText(QRectF(1, 1, 14, 14), Qt::AlignCenter, QStringLiteral("i"));
    }
    p.end();
    return QIcon(pixmap);
}

// Glyphs of the message dialog that the page glyph set lacks.
QIcon DrawGlyph(const QString& what)
{
    QPixmap pixmap = Canvas();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor blue(0x2F, 0x6F, 0xC8);
    const QColor grey(0x60, 0x60, 0x60);
    QPen pen(blue, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    if (what == u"PREVIOUS" || what == u"NEXT") {
        p.setPen(pen);
        const qreal dir = what == u"NEXT" ? 1 : -1;
        p.drawLine(QPointF(8 - 6 * dir, 8), QPointF(8 + 6 * dir, 8));
        p.drawLine(QPointF(8 + 6 * dir, 8), QPointF(8 + 2 * dir, 4));
        p.drawLine(QPointF(8 + 6 * dir, 8), QPointF(8 + 2 * dir, 12));
    } else if (what == u"COPY") {
        p.setPen(QPen(grey, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 9, 10));
        p.drawRect(QRectF(5.5, 4.5, 9, 10));
    } else if (what == u"EXIT") {
        p.setPen(QPen(grey, 1));
        p.setBrush(QColor(0xC8, 0x9A, 0x5A));
        p.drawRect(QRectF(1.5, 1.5, 8, 13));
        pen.setColor(QColor(0xD0, 0x30, 0x30));
        p.setPen(pen);
        p.drawLine(QPointF(6, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(14.5, 8), QPointF(11.5, 5));
        p.drawLine(QPointF(14.5, 8), QPointF(11.5, 11));
    }
    p.end();
    return QIcon(pixmap);
}

} // namespace

QDateTime LocalDateTime(TDateTime time) { return QDateTime::fromMSecsSinceEpoch(time, Qt::LocalTime); }

QString ShortDateText(const QDateTime& time) { return QLocale::system().toString(time.date(), QLocale::ShortFormat); }

QString LongTimeText(const QDateTime& time) { return LongTimeText(time.time()); }

QString LongTimeText(QTime time)
{
    static const QString format = TimeFormatWithoutZone();
    return QLocale::system().toString(time, format);
}

QString MessageText(std::string_view bytes) { return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size())); }

QString XmlSafeText(const QString& text)
{
    QString out = text;
    const qsizetype n = out.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = out[i].unicode();
        bool allowed = c >= 0x20 || c == u'\t' || c == u'\n' || c == u'\r';
        if (c == 0xFFFE || c == 0xFFFF)
            allowed = false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 < n && QChar::isLowSurrogate(out[i + 1].unicode())) {
                ++i;
                continue;
            }
            allowed = false;
        } else if (QChar::isLowSurrogate(c)) {
            allowed = false;
        }
        if (!allowed)
            out[i] = QChar(QChar::ReplacementCharacter);
    }
    return out;
}

int SeverityImage(int severity)
{
    if (severity <= 3)
        return 0;
    if (severity == 4)
        return 1;
    return 2;
}

std::array<QIcon, 3> SeverityImageIcons() { return {DrawSeverityIcon(0), DrawSeverityIcon(1), DrawSeverityIcon(2)}; }

int ScaledPixels(const QWidget* widget, int pixels) { return pixels * widget->fontMetrics().averageCharWidth() / 6; }

QIcon SyslogGlyph(const char* name)
{
    // The dialog's own glyphs; the rest come from the page glyph set.
    const QString key = QString::fromLatin1(name);
    const QString what = key.mid(key.lastIndexOf(u'_') + 1);
    if (what == u"PREVIOUS" || what == u"NEXT" || what == u"COPY" || what == u"EXIT")
        return DrawGlyph(what);
    return PageGlyph(name);
}

} // namespace Syslog
