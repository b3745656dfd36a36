#include "pages/kit/UntypedEditedList.h"

#include "pages/kit/NumberBox.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"
#include "pages/rules/PageRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>

TUntypedEditedList::TUntypedEditedList(QWidget* parent) : TUntypedReportList(parent)
{
    Model()->SetSortMode(smNone);
    SetColumnsFollowContents();
    connect(this, &TUntypedReportList::SelectedRowChanged, this, [this](int) { UpdateEditors(); });
}

int TUntypedEditedList::AddCaptionColumn(const QString& header) { return AddColumn(header); }

int TUntypedEditedList::AddChoiceColumn(const QString& header, const QStringList& choices)
{
    TValueColumn column;
    column.column = AddColumn(header);
    column.choices = choices;
    int count = int(choices.size());
    column.step = [count](int first) { return NextChoice(first, count); };
    m_Columns.push_back(column);
    return column.column;
}

int TUntypedEditedList::AddNumberColumn(const QString& header, TStep step, TText text, Qt::Alignment alignment)
{
    TValueColumn column;
    column.column = AddColumn(header, ckNumber, alignment);
    column.step = std::move(step);
    column.text = std::move(text);
    m_Columns.push_back(column);
    return column.column;
}

void TUntypedEditedList::SetLimits(int column, long long lowest, long long highest)
{
    if (TValueColumn* c = FindColumn(column)) {
        c->limited = true;
        c->lowest = lowest;
        c->highest = highest;
        if (auto* box = qobject_cast<TNumberBox*>(c->editor))
            box->SetLimits(lowest, highest);
    }
}

QString TUntypedEditedList::CellWhy(int row, const TValueColumn& c) const
{
    const long long value = Value(row, c.column);
    if (!c.limited || (value >= c.lowest && value <= c.highest) || !m_OutOfRange.count({Index(row), c.column}))
        return QString();
    return QString("%1 is out of range (%2 to %3)").arg(value).arg(c.lowest).arg(c.highest);
}

QString TUntypedEditedList::OutOfRangeWhy() const
{
    for (int row = 0; row < RowCount(); ++row) {
        for (const TValueColumn& c : m_Columns) {
            if (const QString why = CellWhy(row, c); !why.isEmpty())
                return QString("%1, %2: %3")
                    .arg(Text(row, 0), Model()->headerData(c.column, Qt::Horizontal).toString(), why);
        }
    }
    return QString();
}

void TUntypedEditedList::MarkRow(int row)
{
    QString why;
    for (const TValueColumn& c : m_Columns) {
        if (why.isEmpty())
            why = CellWhy(row, c);
    }
    Model()->SetToolTip(row, why.isEmpty() ? why : why + '.');
    Model()->SetBackground(row, why.isEmpty() ? QBrush() : QBrush(QColor(255, 214, 214)));
}

void TUntypedEditedList::SetStep(int column, TStep step)
{
    if (TValueColumn* c = FindColumn(column))
        c->step = std::move(step);
}

int TUntypedEditedList::AddTextColumn(const QString& header)
{
    TValueColumn column;
    column.column = AddColumn(header);
    column.isText = true;
    m_Columns.push_back(column);
    return column.column;
}

int TUntypedEditedList::AddAddressColumn(const QString& header)
{
    TValueColumn column;
    column.column = AddColumn(header);
    column.text = [](long long value) { return IpText(uint32_t(value)); };
    m_Columns.push_back(column);
    return column.column;
}

void TUntypedEditedList::SetText(int row, int column, const QString& text)
{
    if (row >= 0 && row < RowCount() && FindColumn(column))
        Model()->SetCell(row, column, text);
}

void TUntypedEditedList::SetColumnEnabled(int column, bool enabled)
{
    if (TValueColumn* c = FindColumn(column)) {
        c->enabled = enabled;
        UpdateEditors();
    }
}

void TUntypedEditedList::SetChoices(int column, const QStringList& choices)
{
    TValueColumn* c = FindColumn(column);
    if (!c || c->choices == choices)
        return;
    c->choices = choices;
    const int count = int(choices.size());
    c->step = [count](int first) { return NextChoice(first, count); };
    if (auto* combo = qobject_cast<QComboBox*>(c->editor)) {
        m_Updating = true;
        combo->clear();
        combo->addItems(choices);
        m_Updating = false;
    }
    for (int row = 0; row < RowCount(); ++row)
        SetValue(row, column, Value(row, column));
    UpdateEditors();
}

void TUntypedEditedList::SetMissingText(int column, const QString& text)
{
    if (TValueColumn* c = FindColumn(column))
        c->missing = text;
}

bool TUntypedEditedList::Shows(int column, long long value) const
{
    const TValueColumn* c = FindColumn(column);
    if (c && c->limited)
        return value >= c->lowest && value <= c->highest;
    return !c || c->text || c->choices.isEmpty() || (value >= 0 && value < c->choices.size());
}

void TUntypedEditedList::SetEnabledRule(int column, std::function<bool(int row)> rule)
{
    if (TValueColumn* c = FindColumn(column)) {
        c->enabledRule = std::move(rule);
        UpdateEditors();
    }
}

void TUntypedEditedList::SetChangeRule(int column, std::function<void(int row)> rule)
{
    if (TValueColumn* c = FindColumn(column))
        c->changeRule = std::move(rule);
}

void TUntypedEditedList::SetEditorLabel(int column, QWidget* label)
{
    if (TValueColumn* c = FindColumn(column)) {
        c->label = label;
        UpdateEditors();
    }
}

void TUntypedEditedList::SetEditorNote(int column, QWidget* note)
{
    if (TValueColumn* c = FindColumn(column)) {
        c->note = note;
        UpdateEditors();
    }
}

void TUntypedEditedList::BindEditor(int column, QLineEdit* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    connect(editor, &QLineEdit::textEdited, this, [this, column](const QString& text) {
        int row = SelectedRow();
        if (m_Updating || row < 0)
            return;
        SetText(row, column, text);
        Edited(row, column);
    });
    UpdateEditors();
}

TUntypedEditedList::TValueColumn* TUntypedEditedList::FindColumn(int column)
{
    for (TValueColumn& c : m_Columns) {
        if (c.column == column)
            return &c;
    }
    return nullptr;
}

const TUntypedEditedList::TValueColumn* TUntypedEditedList::FindColumn(int column) const
{
    for (const TValueColumn& c : m_Columns) {
        if (c.column == column)
            return &c;
    }
    return nullptr;
}

QString TUntypedEditedList::TextOf(const TValueColumn& column, long long value) const
{
    if (column.text)
        return column.text(value);
    if (!column.choices.isEmpty()) {
        if (value >= 0 && value < column.choices.size())
            return column.choices.at(qsizetype(value));
        if (column.missing.isEmpty())
            return QString::number(value);
        return column.missing.contains("%1") ? column.missing.arg(value) : column.missing;
    }
    return QString::number(value);
}

int TUntypedEditedList::AddEditedRow(const QString& caption, long long index, const std::vector<long long>& values)
{
    if (RowCount() == 0)
        m_OutOfRange.clear();  // new rows: no edits yet
    TListRow row;
    row.tag = index;
    row.cells.append(caption);
    int added = Model()->AddRow(std::move(row));
    for (std::size_t i = 0; i < m_Columns.size(); ++i) {
        if (!m_Columns[i].isText)
            SetValue(added, m_Columns[i].column, i < values.size() ? values[i] : 0);
    }
    return added;
}

long long TUntypedEditedList::Value(int row, int column) const { return Model()->Number(row, column); }

void TUntypedEditedList::SetValue(int row, int column, long long value)
{
    const TValueColumn* c = FindColumn(column);
    if (!c || row < 0 || row >= RowCount())
        return;
    Model()->SetNumber(row, column, value);
    Model()->SetCell(row, column, TextOf(*c, value));
}

std::vector<long long> TUntypedEditedList::Values(int row) const
{
    std::vector<long long> values;
    values.reserve(m_Columns.size());
    for (const TValueColumn& c : m_Columns)
        values.push_back(Value(row, c.column));
    return values;
}

void TUntypedEditedList::BindEditor(int column, TIpEdit* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    connect(editor, &QLineEdit::textChanged, this, [this, column, editor] {
        EditorChanged(column, editor->IsHost() ? editor->Value() : 0);
    });
    UpdateEditors();
}

void TUntypedEditedList::BindEditor(int column, QComboBox* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    connect(editor, &QComboBox::currentIndexChanged, this, [this, column](int value) {
        EditorChanged(column, value);
    });
    UpdateEditors();
}

void TUntypedEditedList::BindEditor(int column, TNumberBox* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    connect(editor, &TNumberBox::valueChanged, this, [this, column](long long value) { EditorChanged(column, value); });
    UpdateEditors();
}

void TUntypedEditedList::BindEditor(int column, TPortCheckList* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    // A port without a line (hidden) keeps its bit as the row holds it.
    connect(editor, &QListWidget::itemChanged, this, [this, column, editor] {
        const int row = SelectedRow();
        const std::uint32_t kept = row >= 0 ? std::uint32_t(Value(row, column)) & ~editor->LineMask() : 0;
        EditorChanged(column, editor->Mask() | kept);
    });
    UpdateEditors();
}

void TUntypedEditedList::BindEditor(int column, QCheckBox* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    connect(editor, &QCheckBox::toggled, this, [this, column](bool on) { EditorChanged(column, on ? 1 : 0); });
    UpdateEditors();
}

void TUntypedEditedList::AddSelectionControl(QWidget* control)
{
    if (!control)
        return;
    m_SelectionControls.push_back(control);
    control->setEnabled(SelectedRow() >= 0);
}

void TUntypedEditedList::EditorChanged(int column, long long value)
{
    if (m_Updating)
        return;
    int row = SelectedRow();
    if (row < 0)
        return;
    SetValue(row, column, value);
    if (const TValueColumn* c = FindColumn(column); c && c->limited) {
        if (value < c->lowest || value > c->highest)
            m_OutOfRange.insert({Index(row), column});
        else
            m_OutOfRange.erase({Index(row), column});
        MarkRow(row);
    }
    Edited(row, column);
    UpdateNumberGates(this);
}

void TUntypedEditedList::Edited(int row, int column)
{
    const TValueColumn* c = FindColumn(column);
    if (c && c->changeRule)
        c->changeRule(row);
    UpdateEditors(column);
    emit ValueEdited(row, column);
}

void TUntypedEditedList::UpdateEditors(int keep)
{
    int row = SelectedRow();
    m_Updating = true;
    for (const TValueColumn& c : m_Columns) {
        const bool enabled = row >= 0 && c.enabled && (!c.enabledRule || c.enabledRule(row));
        for (QWidget* follower : {c.label, c.note}) {
            if (follower)
                follower->setEnabled(enabled);
        }
        if (!c.editor)
            continue;
        c.editor->setEnabled(enabled);
        if (row < 0) {
            // No row: no value, never the last row's.
            if (auto* box = qobject_cast<TNumberBox*>(c.editor))
                box->Blank();
            else if (auto* check = qobject_cast<QCheckBox*>(c.editor))
                check->setChecked(false);
            continue;
        }
        if (c.column == keep)
            continue;
        if (c.isText) {
            static_cast<QLineEdit*>(c.editor)->setText(Text(row, c.column));
        } else if (auto* combo = qobject_cast<QComboBox*>(c.editor)) {
            // A value with no item shows its text and stays until a choice is made.
            const long long value = Value(row, c.column);
            combo->setCurrentIndex(value >= 0 && value < combo->count() ? int(value) : -1);
            combo->setPlaceholderText(TextOf(c, value));
        } else if (auto* box = qobject_cast<TNumberBox*>(c.editor)) {
            box->ShowValue(Value(row, c.column));
        } else if (auto* address = qobject_cast<TIpEdit*>(c.editor)) {
            address->SetValue(uint32_t(Value(row, c.column)));
        } else if (auto* ports = qobject_cast<TPortCheckList*>(c.editor)) {
            ports->SetMask(uint32_t(Value(row, c.column)));
        } else if (auto* check = qobject_cast<QCheckBox*>(c.editor)) {
            check->setChecked(Value(row, c.column) != 0);
        }
    }
    for (QWidget* control : m_SelectionControls)
        control->setEnabled(row >= 0);
    m_Updating = false;
}

void TUntypedEditedList::OnHeaderClicked(int column)
{
    const TValueColumn* c = FindColumn(column);
    if (c && c->enabled && c->step && RowCount() > 0) {
        const long long value = c->step(Value(0, column));
        for (int row = RowCount() - 1; row >= 0; --row) {
            SetValue(row, column, value);
            if (c->changeRule)
                c->changeRule(row);
            if (c->limited)
                MarkRow(row);
        }
        UpdateNumberGates(this);
        UpdateEditors();
        for (int row = 0; row < RowCount(); ++row)
            emit ValueEdited(row, column);
    }
    emit HeaderClicked(column);
}
