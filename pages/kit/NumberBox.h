#pragma once

// The number field of the device pages: it shows exactly what will be sent.
// Every integer typed is taken digit by digit, so value() is the number the
// text shows; one outside the field's limits is marked, its tooltip gives
// the limits, and the page's default button stays off while it is (see
// GateOnNumbers). A value filled in (read from a switch) outside the limits
// shows as it is and is only out of range once edited. The arrows step
// within the limits.
//
//   auto* vid = new TNumberBox();
//   vid->SetLimits(1, 4094);

#include <QSpinBox>

#include <optional>

class QAbstractButton;

class TNumberBox : public QSpinBox {
    Q_OBJECT

public:
    explicit TNumberBox(QWidget* parent = nullptr);

    // The values the field takes (its spin box range is every int).
    void SetLimits(int lowest, int highest);
    int Lowest() const { return m_Lowest; }
    int Highest() const { return m_Highest; }
    // "0 to 65535"
    QString LimitsText() const;

    // Shows value as filled, not edited (ends a blank).
    void ShowValue(int value);
    // Shows no number, with placeholder over the empty field, until
    // ShowValue or Unblank.
    void Blank(const QString& placeholder = QString());
    void Unblank();
    bool IsBlank() const { return m_Blank; }
    QString Placeholder() const;

    // Why the text can't be sent, or empty when it can.
    QString Why() const;
    // Whether the user changed the value since it was filled.
    bool IsEdited() const { return m_Edited; }

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    int valueFromText(const QString& text) const override;
    QString textFromValue(int value) const override;
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    void changeEvent(QEvent* event) override;
    // The text as a number; none for text that is not one.
    virtual std::optional<long long> Parse(const QString& text) const;
    // The text of a value shown (not blank).
    virtual QString Format(int value) const;

private:
    void TextChanged();
    void UpdateMark();

    int m_Lowest = 0;
    int m_Highest = 99;
    int m_Shown = 0;
    bool m_Edited = false;
    bool m_Blank = false;
    bool m_Marked = false;
    bool m_Fresh = true;  // never filled nor typed in
};

// Why the page can't send what its fields show: the first number field
// (enabled and shown) or edited list row out of range, named by its label;
// empty when none is.
QString NumbersWhy(QWidget* page);
// The button stays off while NumbersWhy(page) answers a reason, whatever
// the page sets it to, and its tooltip then says why. TPageForm gates every
// default button (Apply, Add).
void GateOnNumbers(QAbstractButton* button);
// Recomputes the gates of the page that holds widget.
void UpdateNumberGates(QWidget* widget);
