#include "pages/kit/HexSpinBox.h"

#include <QLineEdit>

#include <optional>

THexSpinBox::THexSpinBox(QWidget* parent) : QSpinBox(parent)
{
    // Typing decimal digits again shows the value in decimal.
    connect(lineEdit(), &QLineEdit::textEdited, this, [this](const QString& text) {
        m_Hex = text.trimmed().startsWith("0x", Qt::CaseInsensitive);
    });
}

void THexSpinBox::SetHexValue(int value)
{
    m_Hex = true;
    setValue(value);
    lineEdit()->setText(textFromValue(this->value()));
}

std::optional<int> THexSpinBox::Parse(const QString& text)
{
    const QString t = text.trimmed();
    bool ok = false;
    const int value = t.startsWith("0x", Qt::CaseInsensitive) ? t.mid(2).toInt(&ok, 16) : t.toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QValidator::State THexSpinBox::validate(QString& text, int&) const
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.compare("0x", Qt::CaseInsensitive) == 0)
        return QValidator::Intermediate;
    const std::optional<int> value = Parse(t);
    if (!value || *value < 0)
        return QValidator::Invalid;
    if (*value > maximum())
        return QValidator::Invalid;
    return *value < minimum() ? QValidator::Intermediate : QValidator::Acceptable;
}

int THexSpinBox::valueFromText(const QString& text) const { return Parse(text).value_or(minimum()); }

QString THexSpinBox::textFromValue(int value) const
{
    if (!m_Hex)
        return QString::number(value);
    const int digits = maximum() > 0xFF ? 4 : 2;
    return "0x" + QString::number(value, 16).rightJustified(digits, '0');
}
