#pragma once

// A number field that takes decimal digits or "0x" and hexadecimal digits
// (protocol numbers). It shows its value in decimal until SetHexValue shows
// one as "0x" and lower-case digits, as wide as the field's highest value needs.

#include "pages/kit/NumberBox.h"

class THexSpinBox : public TNumberBox {
    Q_OBJECT

public:
    explicit THexSpinBox(QWidget* parent = nullptr);

    void SetHexValue(long long value);

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    std::optional<long long> Parse(const QString& text) const override;
    QString Format(long long value) const override;

private:
    bool m_Hex = false;
};
