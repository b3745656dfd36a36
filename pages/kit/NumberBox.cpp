#include "pages/kit/NumberBox.h"

#include "pages/kit/ModulePage.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/UntypedEditedList.h"

#include <QAbstractButton>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>
#include <climits>

namespace {

const char* const kGateName = "numberGate";

// A field's label as its name: no mnemonic, no colon.
QString FieldName(const QWidget* field)
{
    const QLabel* label = TPageForm::LabelOf(field);
    if (!label)
        return QString();
    QString name = label->text();
    name.remove(QRegularExpression("&(?!&)"));
    return name.trimmed().remove(QRegularExpression(":$"));
}

QWidget* PageOf(QWidget* widget)
{
    for (QWidget* w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<TModulePage*>(w))
            return w;
    }
    return widget ? widget->window() : nullptr;
}

}  // namespace

TNumberBox::TNumberBox(QWidget* parent) : QAbstractSpinBox(parent)
{
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] { TextChanged(); });
    SetLimits(0, 99);
}

void TNumberBox::SetLimits(long long lowest, long long highest)
{
    m_Lowest = std::min(lowest, highest);
    m_Highest = std::max(lowest, highest);
    // A field not filled yet starts within its limits.
    if (m_Fresh) {
        setValue(std::clamp(m_Value, m_Lowest, m_Highest));
        m_Fresh = true;
    }
    updateGeometry();
    UpdateMark();
}

QString TNumberBox::LimitsText() const { return QString("%1 to %2").arg(m_Lowest).arg(m_Highest); }

void TNumberBox::setValue(long long value)
{
    if (!m_Blank)
        lineEdit()->setText(Format(value));
    if (value != m_Value) {
        m_Value = value;
        emit valueChanged(value);
    }
}

void TNumberBox::ShowValue(long long value)
{
    m_Blank = false;
    lineEdit()->setPlaceholderText(QString());
    setValue(value);
    m_Edited = false;
    m_Fresh = false;
    UpdateMark();
}

void TNumberBox::Blank(const QString& placeholder)
{
    m_Blank = true;
    lineEdit()->setPlaceholderText(placeholder);
    lineEdit()->setText(QString());
    m_Edited = false;
    UpdateMark();
}

QString TNumberBox::Placeholder() const { return lineEdit()->placeholderText(); }

void TNumberBox::Unblank()
{
    if (m_Blank)
        ShowValue(m_Value);
}

std::optional<long long> TNumberBox::Parse(const QString& text) const
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith('-') || t.startsWith('+')) {
        negative = t.startsWith('-');
        t.remove(0, 1);
    }
    if (t.isEmpty())
        return std::nullopt;
    long long value = 0;
    for (const QChar c : t) {
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
        // Beyond any field: stays out of range, however many digits follow.
        value = std::min(value * 10 + (c.unicode() - '0'), (long long)UINT_MAX * 16);
    }
    return negative ? -value : value;
}

QString TNumberBox::Format(long long value) const { return QString::number(value); }

QValidator::State TNumberBox::validate(QString& text, int&) const
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == "-" || t == "+")
        return QValidator::Intermediate;
    return Parse(t) ? QValidator::Acceptable : QValidator::Invalid;
}

void TNumberBox::stepBy(int steps)
{
    setValue(std::clamp(m_Value + (long long)steps * m_Step, m_Lowest, m_Highest));
    m_Edited = true;
    UpdateMark();
    selectAll();
}

QAbstractSpinBox::StepEnabled TNumberBox::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    StepEnabled enabled = StepNone;
    if (m_Value < m_Highest)
        enabled |= StepUpEnabled;
    if (m_Value > m_Lowest)
        enabled |= StepDownEnabled;
    return enabled;
}

void TNumberBox::changeEvent(QEvent* event)
{
    QAbstractSpinBox::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        UpdateNumberGates(this);
}

QSize TNumberBox::sizeHint() const { return FittedSize(lineEdit()->sizeHint().height()); }

QSize TNumberBox::minimumSizeHint() const { return FittedSize(lineEdit()->minimumSizeHint().height()); }

QSize TNumberBox::FittedSize(int height) const
{
    ensurePolished();
    // Room for the limits and for any 32-bit value read from a switch.
    const QFontMetrics metrics(fontMetrics());
    int width = 0;
    const QString texts[] = {Format(m_Lowest), Format(m_Highest), QString::number(INT_MIN), QString::number(UINT_MAX)};
    for (const QString& text : texts)
        width = std::max(width, metrics.horizontalAdvance(text + ' '));
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(width + 2, height), this);
}

void TNumberBox::TextChanged()
{
    m_Fresh = false;
    const std::optional<long long> number = Parse(text());
    const bool changed = number && *number != m_Value;
    if (lineEdit()->isModified()) {
        m_Blank = false;
        m_Edited = true;
    } else if (changed) {
        // Filled with another value.
        m_Edited = false;
    }
    if (changed) {
        m_Value = *number;
        emit valueChanged(m_Value);
    }
    UpdateMark();
}

std::optional<long long> TNumberBox::InLimits() const
{
    if (m_Blank)
        return std::nullopt;
    const std::optional<long long> number = Parse(text());
    if (!number || *number < m_Lowest || *number > m_Highest)
        return std::nullopt;
    return number;
}

QString TNumberBox::Why() const
{
    if (m_Blank || !m_Edited || InLimits())
        return QString();
    if (!Parse(text()))
        return QString("a number is needed (%1)").arg(LimitsText());
    return QString("%1 is out of range (%2)").arg(text().trimmed(), LimitsText());
}

void TNumberBox::UpdateMark()
{
    const QString why = Why();
    setToolTip(why.isEmpty() ? QString("From %1.").arg(LimitsText()) : why.left(1).toUpper() + why.mid(1) + '.');
    if (m_Marked != !why.isEmpty()) {
        m_Marked = !why.isEmpty();
        QPalette look = QPalette();
        if (m_Marked) {
            look = palette();
            look.setColor(QPalette::Base, QColor(255, 214, 214));
            look.setColor(QPalette::Text, QColor(160, 0, 0));
        }
        setPalette(look);
        lineEdit()->setPalette(look);
    }
    UpdateNumberGates(this);
}

QString NumbersWhy(QWidget* page)
{
    if (!page)
        return QString();
    for (TNumberBox* box : page->findChildren<TNumberBox*>()) {
        if (!box->isEnabled() || !box->isVisibleTo(page))
            continue;
        if (const QString why = box->Why(); !why.isEmpty()) {
            const QString name = FieldName(box);
            return name.isEmpty() ? why : name + ": " + why;
        }
    }
    for (TUntypedEditedList* list : page->findChildren<TUntypedEditedList*>()) {
        if (!list->isVisibleTo(page))
            continue;
        if (const QString why = list->OutOfRangeWhy(); !why.isEmpty())
            return why;
    }
    return QString();
}

void GateOnNumbers(QAbstractButton* button)
{
    QWidget* parent = button->parentWidget();
    // The gate holds the button: turning the holder off keeps the button off
    // whatever the page sets, and the page's own setting holds again after.
    auto* holder = new QWidget(parent);
    holder->setObjectName(kGateName);
    auto* row = new QHBoxLayout(holder);
    row->setContentsMargins(0, 0, 0, 0);
    if (parent && parent->layout())
        delete parent->layout()->replaceWidget(button, holder);
    button->setParent(holder);
    row->addWidget(button);
    UpdateNumberGates(holder);
}

void UpdateNumberGates(QWidget* widget)
{
    QWidget* page = PageOf(widget);
    if (!page)
        return;
    if (auto* modulePage = qobject_cast<TModulePage*>(page); modulePage && modulePage->IsRefilling())
        return;  // the refill updates them when it ends
    const QList<QWidget*> gates = page->findChildren<QWidget*>(kGateName);
    if (gates.isEmpty())
        return;
    const QString why = NumbersWhy(page);
    for (QWidget* gate : gates) {
        gate->setEnabled(why.isEmpty());
        gate->setToolTip(why.isEmpty() ? QString() : "Not sent: " + why + '.');
    }
}
