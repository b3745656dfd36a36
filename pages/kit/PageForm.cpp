#include "pages/kit/PageForm.h"

#include "pages/kit/ModulePage.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageWidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const char* const kLabelProperty = "pageFormLabel";
const char* const kNoteProperty = "pageFormNote";
// The editor rows under a list: the gap after an editor, and the width a
// row keeps within so that a page fits beside both trees at 1024 pixels.
constexpr int kPanelGap = 12;
constexpr int kPanelRowWidth = 480;

// What a control takes of a row: its width and the layout's spacing after it.
int Width(QWidget* control)
{
    return std::max(control->sizeHint().width(), control->minimumSizeHint().width()) +
           control->style()->layoutSpacing(QSizePolicy::DefaultType, QSizePolicy::DefaultType, Qt::Horizontal);
}

// Sees the keys the page's fields pass up to it.
class TDefaultOnEnter : public QObject {
public:
    explicit TDefaultOnEnter(QWidget* page) : QObject(page), m_Page(page) { page->installEventFilter(this); }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_Page || event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
            (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
            return false;
        // A focused button answers Enter itself or leaves it.
        if (qobject_cast<QPushButton*>(m_Page->focusWidget()))
            return false;
        for (QPushButton* button : m_Page->findChildren<QPushButton*>()) {
            if (button->isDefault() && button->isVisibleTo(m_Page) && button->isEnabled()) {
                button->click();
                return true;
            }
        }
        return false;
    }

private:
    QWidget* m_Page;
};

}  // namespace

void PressDefaultOnEnter(QWidget* page)
{
    if (!page->findChild<TDefaultOnEnter*>(QString(), Qt::FindDirectChildrenOnly))
        new TDefaultOnEnter(page);
}

TPageForm::TPageForm(TModulePage* page) : m_Page(page), m_Layout(new QVBoxLayout(page)) {}

void TPageForm::Register(QWidget* control)
{
    if (m_NeedsDevice)
        m_Page->AddInputs({control});
}

QGridLayout* TPageForm::Grid()
{
    if (!m_Grid) {
        m_Grid = new QGridLayout();
        m_FieldsInRow = 0;
        for (int column = 0; column < m_FieldColumns; ++column)
            m_Grid->setColumnStretch(3 * column + 2, 1);
        m_Layout->addLayout(m_Grid);
        m_Panel = nullptr;
    }
    return m_Grid;
}

QBoxLayout* TPageForm::Panel()
{
    if (!m_Panel) {
        m_PanelRows = new QVBoxLayout();
        m_Layout->addLayout(m_PanelRows);
        NextPanelRow();
        m_Grid = nullptr;
    }
    return m_Panel;
}

void TPageForm::NextPanelRow()
{
    m_Panel = new QHBoxLayout();
    m_Panel->addStretch(1);
    m_PanelRows->addLayout(m_Panel);
    m_PanelRowWidth = 0;
}

QBoxLayout* TPageForm::Buttons()
{
    if (!m_Buttons) {
        m_ButtonPanel = new QWidget(m_Page);
        m_Buttons = new QHBoxLayout(m_ButtonPanel);
        m_Buttons->setContentsMargins(0, 0, 0, 0);
        // What the last change did, left of the buttons.
        m_Page->PlaceStatusLine(m_Buttons);
        m_Layout->addWidget(m_ButtonPanel);
    }
    return m_Buttons;
}

QWidget* TPageForm::ButtonPanel()
{
    Buttons();
    return m_ButtonPanel;
}

QWidget* TPageForm::Section(QWidget* panel, int stretch)
{
    panel->setParent(m_Page);
    m_Layout->addWidget(panel, stretch);
    Register(panel);
    EndArrangement();
    return panel;
}

QLabel* TPageForm::Caption(const QString& text, QWidget* field)
{
    auto* caption = new QLabel(text, m_Page);
    caption->setBuddy(field);
    field->setProperty(kLabelProperty, QVariant::fromValue(static_cast<QObject*>(caption)));
    return caption;
}

void TPageForm::EndArrangement()
{
    m_Grid = nullptr;
    m_Panel = nullptr;
}

void TPageForm::AddField(const QString& label, QWidget* field)
{
    QGridLayout* grid = Grid();
    // Label, field and note take three columns of the grid.
    const int column = 3 * (m_FieldsInRow % m_FieldColumns);
    const int row = column == 0 ? grid->rowCount() : grid->rowCount() - 1;
    ++m_FieldsInRow;
    field->setParent(m_Page);
    if (!label.isEmpty()) {
        QLabel* caption = Caption(label, field);
        grid->addWidget(caption, row, column);
        Register(caption);
    }
    grid->addWidget(field, row, column + 1);
    Register(field);
}

void TPageForm::FieldColumns(int count)
{
    m_FieldColumns = std::max(count, 1);
    EndArrangement();
}

QLabel* TPageForm::Heading(const QString& text)
{
    QGridLayout* grid = Grid();
    QLabel* heading = BoldLabel(text, m_Page);
    grid->addWidget(heading, grid->rowCount(), 0, 1, 3 * m_FieldColumns - 1);
    m_FieldsInRow = 0;
    Register(heading);
    return heading;
}

QComboBox* TPageForm::Choice(const QString& label, const QStringList& items)
{
    auto* combo = new QComboBox();
    combo->addItems(items);
    return Labelled(label, combo);
}

TNumberBox* TPageForm::Number(const QString& label, long long minimum, long long maximum, const QString& note)
{
    auto* spin = new TNumberBox();
    spin->SetLimits(minimum, maximum);
    Labelled(label, spin);
    if (!note.isEmpty())
        Note(spin, note);
    return spin;
}

QLabel* TPageForm::Note(QWidget* field, const QString& note)
{
    QGridLayout* grid = Grid();
    int row = grid->rowCount() - 1, column = 1, rows = 0, columns = 0;
    if (const int at = grid->indexOf(field); at >= 0)
        grid->getItemPosition(at, &row, &column, &rows, &columns);
    auto* label = new QLabel(note, m_Page);
    grid->addWidget(label, row, column + 1);
    field->setProperty(kNoteProperty, QVariant::fromValue(static_cast<QObject*>(label)));
    label->setEnabled(field->isEnabled());
    Register(label);
    return label;
}

QLineEdit* TPageForm::Text(const QString& label, int maxLength)
{
    auto* edit = new QLineEdit();
    if (maxLength > 0)
        edit->setMaxLength(maxLength);
    return Labelled(label, edit);
}

QLineEdit* TPageForm::Password(const QString& label, int maxLength)
{
    QLineEdit* edit = Text(label, maxLength);
    edit->setEchoMode(QLineEdit::Password);
    return edit;
}

TIpEdit* TPageForm::Ip(const QString& label) { return Labelled(label, new TIpEdit()); }

TMacEdit* TPageForm::Mac(const QString& label) { return Labelled(label, new TMacEdit()); }

QCheckBox* TPageForm::Check(const QString& text) { return Labelled(QString(), new QCheckBox(text)); }

QButtonGroup* TPageForm::Radios(const QString& label, const QStringList& items)
{
    auto* box = new QWidget();
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto* group = new QButtonGroup(box);
    for (int i = 0; i < items.size(); ++i) {
        auto* radio = new QRadioButton(items.at(i), box);
        group->addButton(radio, i);
        row->addWidget(radio);
    }
    row->addStretch(1);
    Labelled(label, box);
    return group;
}

QPlainTextEdit* TPageForm::Memo(const QString& label, const QString& note)
{
    auto* memo = Labelled(label, new QPlainTextEdit());
    if (!note.isEmpty()) {
        auto* hint = new QLabel(note, m_Page);
        Grid()->addWidget(hint, Grid()->rowCount(), 1);
        // The note follows the memo.
        memo->setProperty(kNoteProperty, QVariant::fromValue(static_cast<QObject*>(hint)));
        Register(hint);
    }
    return memo;
}

QWidget* TPageForm::Field(const QString& label, QWidget* field) { return Labelled(label, field); }

QLabel* TPageForm::LabelOf(const QWidget* field)
{
    return field ? qobject_cast<QLabel*>(field->property(kLabelProperty).value<QObject*>()) : nullptr;
}

void TPageForm::SetFieldEnabled(QWidget* field, bool enabled)
{
    if (!field)
        return;
    field->setEnabled(enabled);
    if (QLabel* label = LabelOf(field))
        label->setEnabled(enabled);
    if (auto* note = qobject_cast<QWidget*>(field->property(kNoteProperty).value<QObject*>()))
        note->setEnabled(enabled);
}

void TPageForm::SetFieldsEnabled(std::initializer_list<QWidget*> fields, bool enabled)
{
    for (QWidget* field : fields)
        SetFieldEnabled(field, enabled);
}

void TPageForm::KeepAtTop()
{
    m_Layout->addStretch(1);
    EndArrangement();
}

QWidget* TPageForm::List(const QString& title, QWidget* list, bool boldTitle)
{
    if (!title.isEmpty()) {
        QLabel* caption = Caption(title, list);
        QFont font = caption->font();
        font.setBold(boldTitle);
        caption->setFont(font);
        m_Layout->addWidget(caption);
        Register(caption);
    }
    return Section(list, 1);
}

void TPageForm::AddPanelEditor(const QString& label, QWidget* editor)
{
    QBoxLayout* panel = Panel();
    editor->setParent(m_Page);
    QLabel* caption = Caption(label, editor);
    // An editor that would make the row wider than a narrow window starts
    // the next row.
    editor->ensurePolished();
    const int width = Width(caption) + Width(editor) + kPanelGap;
    if (m_PanelRowWidth > 0 && m_PanelRowWidth + width > kPanelRowWidth) {
        NextPanelRow();
        panel = m_Panel;
    }
    m_PanelRowWidth += width;
    const int at = panel->count() - 1;  // before the stretch
    panel->insertWidget(at, caption);
    panel->insertWidget(at + 1, editor);
    panel->insertSpacing(at + 2, kPanelGap);
}

QLabel* TPageForm::PanelNote(QWidget* editor, const QString& note)
{
    QBoxLayout* panel = Panel();
    auto* label = new QLabel(note, m_Page);
    m_PanelRowWidth += Width(label);
    panel->insertWidget(panel->indexOf(editor) + 1, label);
    label->setEnabled(editor->isEnabled());
    return label;
}

QPushButton* TPageForm::Button(const QString& text, const char* glyph, bool isDefault)
{
    auto* button = new QPushButton(text, m_Page);
    if (glyph)
        LoadGlyph(button, glyph);
    Buttons()->addWidget(button);
    if (isDefault) {
        button->setDefault(true);
        // It sends what the fields show: off while a number is out of range.
        GateOnNumbers(button);
    }
    Register(button);
    return button;
}
