#pragma once

// Texts and icons shared by the events page and the message dialog.

#include <QDateTime>
#include <QIcon>
#include <QString>

#include <string_view>

#include "syslog/SyslogParser.h"

namespace Syslog {

QDateTime LocalDateTime(TDateTime time);
// The user's short date format.
QString ShortDateText(const QDateTime& time);
// The user's long time format without the time zone.
QString LongTimeText(const QDateTime& time);
// Message bytes in the system's 8-bit encoding.
QString MessageText(std::string_view bytes);
// The text with every character that XML 1.0 does not allow replaced by U+FFFD.
QString XmlSafeText(const QString& text);

// 0 error (severity 0 to 3), 1 warning (4), 2 information (5 and above).
int SeverityImage(int severity);
// A new icon of the severity's image; callers keep the three they need.
QIcon SeverityIcon(int severity);
// A button glyph by its resource name ("RC_BITMAP_16X16_SAVE" ...).
QIcon SyslogGlyph(const char* name);

} // namespace Syslog
