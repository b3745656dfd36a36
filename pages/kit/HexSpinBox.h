#pragma once

// A number field that takes decimal digits or "0x" and hexadecimal digits
// (protocol numbers). It shows its value in decimal until SetHexValue shows
// one as "0x" and lower-case digits, as wide as the field's maximum needs.

#include <QSpinBox>

#include <optional>

class THexSpinBox : public QSpinBox {
    Q_OBJECT

public:
    explicit THexSpinBox(QWidget* parent = nullptr);

    void SetHexValue(int value);

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;

private:
    // The text as a number; none for text that is not one.
    static std::optional<int> Parse(const QString& text);
    bool m_Hex = false;
};
