#pragma once

// What the SNMPv3 table pages (groups, access rules, MIB views) share: their
// list, whose first column numbers the rows, and their text fields of at
// most the characters the switch's 33-byte texts are written with.

#include "pages/kit/ListModel.h"

#include <QStringList>

#include <cstddef>

class QLineEdit;
class TPageForm;
class TUntypedReportList;

TUntypedReportList* SnmpV3List(TPageForm& form, const QStringList& headers, TSortMode sort);
QLineEdit* SnmpV3Text(TPageForm& form, const QString& label, std::size_t limit);
// A switch's key of an entry of several fields: their texts, which hold no
// zero byte, joined by one.
QString SnmpV3Key(const QStringList& fields);
