#pragma once

// The number field of the device pages: it shows exactly what will be sent.
// Every integer typed is taken digit by digit, so value() is the number the
// text shows, over the range of any 32-bit field, signed or unsigned; one
// outside the field's limits is marked, its tooltip gives the limits, and
// the page's default button stays off while it is (see GateOnNumbers). A
// value filled in (read from a switch) outside the limits shows as it is
// and is only out of range once edited; until then it is no value the
// field holds, and each switch keeps its own (InLimits, FieldBinding.h).
// The arrows step within the limits.
//
//   auto* vid = new TNumberBox();
//   vid->SetLimits(1, 4094);

#include <QAbstractSpinBox>

#include <optional>

class QAbstractButton;

class TNumberBox : public QAbstractSpinBox {
    Q_OBJECT

public:
    explicit TNumberBox(QWidget* parent = nullptr);

    // The values the field takes; any 32-bit field's, signed or unsigned.
    void SetLimits(long long lowest, long long highest);
    long long Lowest() const { return m_Lowest; }
    long long Highest() const { return m_Highest; }
    // "0 to 65535"
    QString LimitsText() const;

    // The number the text shows; while it shows none, the last one it showed.
    long long value() const { return m_Value; }
    // Shows value as filled by the program (not an edit).
    void setValue(long long value);
    int singleStep() const { return m_Step; }
    void setSingleStep(int step) { m_Step = step; }

    // Shows value as filled, not edited (ends a blank).
    void ShowValue(long long value);
    // Shows no number, with placeholder over the empty field, until
    // ShowValue or Unblank.
    void Blank(const QString& placeholder = QString());
    void Unblank();
    bool IsBlank() const { return m_Blank; }
    QString Placeholder() const;

    // The number shown when it lies within the limits, edited or filled;
    // none for a blank, text that is no number, or a number outside them.
    std::optional<long long> InLimits() const;
    // Why the text can't be sent, or empty when it can: an edited text
    // that InLimits refuses.
    QString Why() const;
    // Whether the user changed the value since it was filled.
    bool IsEdited() const { return m_Edited; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void valueChanged(long long value);

protected:
    QValidator::State validate(QString& text, int& pos) const override;
    void stepBy(int steps) override;
    StepEnabled stepEnabled() const override;
    void changeEvent(QEvent* event) override;
    // The text as a number; none for text that is not one.
    virtual std::optional<long long> Parse(const QString& text) const;
    // The text of a value shown (not blank).
    virtual QString Format(long long value) const;

private:
    void TextChanged();
    void UpdateMark();
    QSize FittedSize(int height) const;

    long long m_Lowest = 0;
    long long m_Highest = 99;
    long long m_Value = 0;
    int m_Step = 1;
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
