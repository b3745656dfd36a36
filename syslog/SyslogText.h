#pragma once

// Texts and icons shared by the events page and the message dialog.

#include <QDateTime>
#include <QIcon>
#include <QString>
#include <QVariant>

#include <array>
#include <string_view>

class QWidget;

#include "syslog/core/SyslogParser.h"

namespace Syslog {

QDateTime LocalDateTime(TDateTime time);
// The user's short date format.
QString ShortDateText(const QDateTime& time);
// The user's long time format without the time zone.
QString LongTimeText(const QDateTime& time);
QString LongTimeText(QTime time);
// Message bytes in the system's 8-bit encoding.
QString MessageText(std::string_view bytes);
// The text with every character that XML 1.0 does not allow replaced by U+FFFD.
QString XmlSafeText(const QString& text);

// 0 error (severity 0 to 3), 1 warning (4), 2 information (5 and above).
int SeverityImage(int severity);
// The three severity images in SeverityImage order, for a view to keep.
std::array<QIcon, 3> SeverityImageIcons();
// A button glyph by its resource name ("RC_BITMAP_16X16_SAVE" ...).
QIcon SyslogGlyph(const char* name);

// Pixels given for an average character of 6 pixels, scaled to the widget's font.
int ScaledPixels(const QWidget* widget, int pixels);

// The horizontal display caption of a column, else nothing.
template <std::size_t N>
QVariant ColumnCaption(const char* const (&captions)[N], int section, Qt::Orientation orientation, int role)
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || std::size_t(section) >= N)
        return QVariant();
    return QString::fromLatin1(captions[section]);
}

} // namespace Syslog
