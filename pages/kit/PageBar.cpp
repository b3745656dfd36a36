#include "pages/kit/PageBar.h"

#include "pages/kit/NumberBox.h"
#include "pages/kit/PageWidgets.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TPageBar::TPageBar(QWidget* bar) : m_Bar(bar), m_Row(new QHBoxLayout(bar))
{
    m_Row->setContentsMargins(0, 0, 0, 0);
    m_Row->addStretch(1);
}

void TPageBar::AddField(QWidget* field) { m_Row->insertWidget(m_Fields++, field); }

TNumberBox* TPageBar::Number(const QString& label, int minimum, int maximum, int value)
{
    auto* caption = new QLabel(label, m_Bar);
    auto* spin = new TNumberBox(m_Bar);
    spin->SetLimits(minimum, maximum);
    spin->ShowValue(value);
    caption->setBuddy(spin);
    AddField(caption);
    AddField(spin);
    return spin;
}

QLabel* TPageBar::Value(const QString& caption, const QString& value)
{
    AddField(new QLabel(caption, m_Bar));
    auto* shown = new QLabel(value, m_Bar);
    AddField(shown);
    return shown;
}

QCheckBox* TPageBar::Check(const QString& text)
{
    auto* check = new QCheckBox(text, m_Bar);
    check->setLayoutDirection(Qt::RightToLeft);
    AddField(check);
    return check;
}

QPushButton* TPageBar::Button(const QString& text, const char* glyph)
{
    auto* button = new QPushButton(text, m_Bar);
    LoadGlyph(button, glyph);
    m_Row->addWidget(button);
    return button;
}

QPushButton* TPageBar::Button(QAction* action)
{
    auto* button = new QPushButton(action->icon(), action->text(), m_Bar);
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    m_Row->addWidget(button);
    return button;
}

QAction* PageAction(const QString& text, const char* glyph, QObject* parent)
{
    return new QAction(PageGlyph(glyph), text, parent);
}
