#include "pages/kit/HexSpinBox.h"

#include <QLineEdit>

#include <algorithm>
#include <climits>
#include <optional>

THexSpinBox::THexSpinBox(QWidget* parent) : TNumberBox(parent)
{
    // Typing decimal digits again shows the value in decimal.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        m_Hex = text.trimmed().startsWith("0x", Qt::CaseInsensitive);
    });
}

void THexSpinBox::SetHexValue(long long value)
{
    m_Hex = true;
    ShowValue(value);
}

std::optional<long long> THexSpinBox::Parse(const QString& text) const
{
    const QString t = text.trimmed();
    if (!t.startsWith("0x", Qt::CaseInsensitive))
        return TNumberBox::Parse(t);
    bool ok = false;
    const long long value = t.mid(2).toLongLong(&ok, 16);
    if (ok)
        return value;
    // Hexadecimal digits beyond any field stay out of range.
    const QString digits = t.mid(2);
    const bool hex = !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), [](QChar c) {
        return c.isDigit() || QString("abcdefABCDEF").contains(c);
    });
    return hex ? std::optional<long long>(LLONG_MAX) : std::nullopt;
}

QValidator::State THexSpinBox::validate(QString& text, int& pos) const
{
    if (text.trimmed().compare("0x", Qt::CaseInsensitive) == 0)
        return QValidator::Intermediate;
    return TNumberBox::validate(text, pos);
}

QString THexSpinBox::Format(long long value) const
{
    if (!m_Hex)
        return QString::number(value);
    const int digits = Highest() > 0xFF ? 4 : 2;
    return "0x" + QString::number(value, 16).rightJustified(digits, '0');
}
