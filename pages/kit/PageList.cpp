#include "pages/kit/PageList.h"

#include "pages/kit/PageWidgets.h"
#include "pages/rules/PageRules.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QSpinBox>

#include <algorithm>
#include <numeric>

// ---------------------------------------------------------------------------
// TPageListModel

TPageListModel::TPageListModel(QObject* parent) : QAbstractTableModel(parent) {}

int TPageListModel::AddColumn(const QString& header, TColumnKind kind, Qt::Alignment alignment)
{
    beginInsertColumns(QModelIndex(), ColumnCount(), ColumnCount());
    m_Headers.append(header);
    m_Kinds.push_back(kind);
    m_Alignments.push_back(alignment);
    m_Directions.push_back(0);
    for (TPageRow& row : m_Rows)
        Normalise(row);
    endInsertColumns();
    return ColumnCount() - 1;
}

TColumnKind TPageListModel::ColumnKind(int column) const
{
    return column >= 0 && column < ColumnCount() ? m_Kinds[std::size_t(column)] : ckText;
}

void TPageListModel::Normalise(TPageRow& row) const
{
    while (row.cells.size() < ColumnCount())
        row.cells.append(QString());
    if (row.numbers.size() < std::size_t(ColumnCount()))
        row.numbers.resize(std::size_t(ColumnCount()), 0);
}

void TPageListModel::Clear()
{
    if (m_Rows.empty())
        return;
    beginResetModel();
    m_Rows.clear();
    endResetModel();
}

int TPageListModel::AddRow(TPageRow row)
{
    Normalise(row);
    int index = RowCount();
    beginInsertRows(QModelIndex(), index, index);
    m_Rows.push_back(std::move(row));
    endInsertRows();
    return index;
}

int TPageListModel::AddRow(const QStringList& cells, long long tag)
{
    TPageRow row;
    row.cells = cells;
    row.tag = tag;
    return AddRow(std::move(row));
}

void TPageListModel::RowChanged(int row, int column)
{
    QModelIndex first = index(row, column < 0 ? 0 : column);
    QModelIndex last = index(row, column < 0 ? ColumnCount() - 1 : column);
    emit dataChanged(first, last);
}

void TPageListModel::SetCell(int row, int column, const QString& text)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return;
    QString& cell = m_Rows[std::size_t(row)].cells[column];
    if (cell == text)
        return;  // repainting an unchanged cell costs a text layout per row
    cell = text;
    RowChanged(row, column);
}

QString TPageListModel::Cell(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return QString();
    return m_Rows[std::size_t(row)].cells.at(column);
}

void TPageListModel::SetNumber(int row, int column, long long number)
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return;
    m_Rows[std::size_t(row)].numbers[std::size_t(column)] = number;
}

long long TPageListModel::Number(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= ColumnCount())
        return 0;
    return m_Rows[std::size_t(row)].numbers[std::size_t(column)];
}

void TPageListModel::SetIcon(int row, const QIcon& icon)
{
    if (row < 0 || row >= RowCount())
        return;
    TPageRow& r = m_Rows[std::size_t(row)];
    if (r.hasIcon && r.icon.cacheKey() == icon.cacheKey())
        return;
    r.icon = icon;
    r.hasIcon = true;
    RowChanged(row, 0);
}

void TPageListModel::ClearIcon(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    m_Rows[std::size_t(row)].icon = QIcon();
    m_Rows[std::size_t(row)].hasIcon = false;
    RowChanged(row, 0);
}

void TPageListModel::SetTag(int row, long long tag)
{
    if (row >= 0 && row < RowCount())
        m_Rows[std::size_t(row)].tag = tag;
}

void TPageListModel::SetBackground(int row, const QBrush& brush)
{
    if (row < 0 || row >= RowCount())
        return;
    QBrush& background = m_Rows[std::size_t(row)].background;
    if (background == brush)
        return;
    background = brush;
    RowChanged(row, -1);
}

void TPageListModel::SetToolTip(int row, const QString& text)
{
    if (row >= 0 && row < RowCount())
        m_Rows[std::size_t(row)].toolTip = text;
}

int TPageListModel::FindTag(long long tag) const
{
    for (int row = RowCount() - 1; row >= 0; --row) {
        if (m_Rows[std::size_t(row)].tag == tag)
            return row;
    }
    return -1;
}

void TPageListModel::SetSortState(int column, int direction)
{
    m_SortColumn = column;
    m_Direction = direction < 0 ? -1 : 1;
}

int TPageListModel::SortDirection(int column) const
{
    if (m_SortMode == smPerColumn)
        return column >= 0 && column < ColumnCount() ? m_Directions[std::size_t(column)] : 0;
    return m_Direction;
}

int CompareCells(const QString& a, const QString& b, TColumnKind kind)
{
    const QByteArray x = a.toLocal8Bit();
    const QByteArray y = b.toLocal8Bit();
    if (kind != ckExactText)
        return CompareFolded(std::string_view(x.constData(), std::size_t(x.size())),
                             std::string_view(y.constData(), std::size_t(y.size())));
    const int n = std::min(x.size(), y.size());
    for (int i = 0; i < n; ++i) {
        const auto u = static_cast<unsigned char>(x[i]);
        const auto v = static_cast<unsigned char>(y[i]);
        if (u != v)
            return u < v ? -1 : 1;
    }
    return Compare3(x.size(), y.size());
}

int TPageListModel::CompareRows(const TPageRow& a, const TPageRow& b, int column) const
{
    if (m_Comparator)
        return m_Comparator(a, b, column);
    if (column < 0 || column >= ColumnCount())
        return 0;
    if (ColumnKind(column) == ckNumber)
        return Compare3(a.numbers[std::size_t(column)], b.numbers[std::size_t(column)]);
    return CompareCells(a.cells.at(column), b.cells.at(column), ColumnKind(column));
}

void TPageListModel::ClickColumn(int column)
{
    if (column < 0 || column >= ColumnCount())
        return;
    switch (m_SortMode) {
    case smNone:
        return;
    case smReference:
        if (column != m_SortColumn) {
            m_SortColumn = column;
            m_Direction = 1;
        } else {
            m_Direction = -m_Direction;
        }
        SortRows(column, m_Direction);
        return;
    case smPerColumn: {
        int& direction = m_Directions[std::size_t(column)];
        direction = direction == 1 ? -1 : 1;
        m_SortColumn = column;
        SortRows(column, direction);
        return;
    }
    }
}

void TPageListModel::SortRows(int column, int direction)
{
    if (direction == 0 || m_Rows.size() < 2)
        return;
    std::vector<int> order(m_Rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int x, int y) {
        return CompareRows(m_Rows[std::size_t(x)], m_Rows[std::size_t(y)], column) * direction < 0;
    });

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(order.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        newPosition[std::size_t(order[i])] = int(i);
    std::vector<TPageRow> sorted;
    sorted.reserve(m_Rows.size());
    for (int from : order)
        sorted.push_back(std::move(m_Rows[std::size_t(from)]));
    m_Rows = std::move(sorted);
    const QModelIndexList persistent = persistentIndexList();
    QModelIndexList moved;
    moved.reserve(persistent.size());
    for (const QModelIndex& index : persistent)
        moved.append(this->index(newPosition[std::size_t(index.row())], index.column()));
    changePersistentIndexList(persistent, moved);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int TPageListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : RowCount();
}

int TPageListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount();
}

QVariant TPageListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= RowCount() || index.column() >= ColumnCount())
        return QVariant();
    const TPageRow& row = m_Rows[std::size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return row.cells.at(index.column());
    case Qt::DecorationRole:
        if (index.column() == 0 && row.hasIcon)
            return row.icon;
        return QVariant();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_Alignments[std::size_t(index.column())]);
    case Qt::BackgroundRole:
        if (row.background.style() != Qt::NoBrush)
            return row.background;
        return QVariant();
    case Qt::ToolTipRole:
        if (!row.toolTip.isEmpty())
            return row.toolTip;
        return QVariant();
    default:
        return QVariant();
    }
}

QVariant TPageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < ColumnCount())
        return m_Headers.at(section);
    if (orientation == Qt::Horizontal && role == Qt::TextAlignmentRole && section >= 0 &&
        section < ColumnCount())
        return QVariant::fromValue(m_Alignments[std::size_t(section)]);
    return QVariant();
}

// ---------------------------------------------------------------------------
// TPageListView

TPageListView::TPageListView(QWidget* parent) : QTreeView(parent), m_Model(new TPageListModel(this))
{
    setModel(m_Model);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSortingEnabled(false);
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(true);
    connect(header(), &QHeaderView::sectionClicked, this, &TPageListView::OnHeaderClicked);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex&, const QModelIndex&) { emit SelectedRowChanged(SelectedRow()); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection&, const QItemSelection&) { emit SelectedRowChanged(SelectedRow()); });
}

int TPageListView::AddColumn(const QString& header, TColumnKind kind, Qt::Alignment alignment)
{
    return m_Model->AddColumn(header, kind, alignment);
}

void TPageListView::SetColumnsFollowContents()
{
    header()->setSectionResizeMode(QHeaderView::Interactive);
    FitColumnsToHeaders();
    connect(m_Model, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first, int last) {
        MarkChanged(first, last, 0, m_Model->ColumnCount() - 1);
    });
    connect(m_Model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                MarkChanged(topLeft.row(), bottomRight.row(), topLeft.column(), bottomRight.column());
            });
    // Rows that moved or went away: the noted ones may be anywhere now.
    auto everyRow = [this] {
        if (m_ChangedRows[0] <= m_ChangedRows[1])
            m_ChangedRows[0] = 0, m_ChangedRows[1] = m_Model->RowCount() - 1;
    };
    connect(m_Model, &QAbstractItemModel::rowsRemoved, this, everyRow);
    connect(m_Model, &QAbstractItemModel::layoutChanged, this, everyRow);
    connect(m_Model, &QAbstractItemModel::modelReset, this, [this] {
        m_ChangedRows[0] = 0, m_ChangedRows[1] = -1;
        FitColumnsToHeaders();
    });
}

void TPageListView::MarkChanged(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    if (m_ChangedRows[0] > m_ChangedRows[1]) {
        m_ChangedRows[0] = firstRow, m_ChangedRows[1] = lastRow;
        m_ChangedColumns[0] = firstColumn, m_ChangedColumns[1] = lastColumn;
    } else {
        m_ChangedRows[0] = std::min(m_ChangedRows[0], firstRow);
        m_ChangedRows[1] = std::max(m_ChangedRows[1], lastRow);
        m_ChangedColumns[0] = std::min(m_ChangedColumns[0], firstColumn);
        m_ChangedColumns[1] = std::max(m_ChangedColumns[1], lastColumn);
    }
    if (m_GrowPosted || !isVisible())
        return;
    m_GrowPosted = true;
    QMetaObject::invokeMethod(this, [this] {
        m_GrowPosted = false;
        GrowPending();
    }, Qt::QueuedConnection);
}

void TPageListView::GrowPending()
{
    const int first = std::max(m_ChangedRows[0], 0);
    const int last = std::min(m_ChangedRows[1], m_Model->RowCount() - 1);
    m_ChangedRows[0] = 0, m_ChangedRows[1] = -1;
    if (first <= last)
        GrowColumns(first, last, m_ChangedColumns[0], m_ChangedColumns[1]);
}

void TPageListView::showEvent(QShowEvent* event)
{
    GrowPending();
    QTreeView::showEvent(event);
}

void TPageListView::FitColumnsToHeaders()
{
    for (int column = 0; column + 1 < m_Model->ColumnCount(); ++column)
        header()->resizeSection(column, header()->sectionSizeHint(column));
}

void TPageListView::GrowColumns(int firstRow, int lastRow, int firstColumn, int lastColumn)
{
    // The last column takes the rest of the width.
    lastColumn = std::min(lastColumn, m_Model->ColumnCount() - 2);
    for (int column = firstColumn; column <= lastColumn; ++column) {
        int width = header()->sectionSize(column);
        const int before = width;
        for (int row = firstRow; row <= lastRow; ++row)
            width = std::max(width, sizeHintForIndex(m_Model->index(row, column)).width());
        if (width != before)
            header()->resizeSection(column, width);
    }
}

void TPageListView::Clear()
{
    m_Model->Clear();
    emit SelectedRowChanged(-1);
}

int TPageListView::SelectedRow() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void TPageListView::SelectRow(int row)
{
    if (row < 0 || row >= m_Model->RowCount()) {
        selectionModel()->clearSelection();
        return;
    }
    QModelIndex index = m_Model->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TPageListView::OnHeaderClicked(int column)
{
    m_Model->ClickColumn(column);
    emit HeaderClicked(column);
}

// ---------------------------------------------------------------------------
// TEditedList

TEditedList::TEditedList(QWidget* parent) : TPageListView(parent)
{
    Model()->SetSortMode(smNone);
    connect(this, &TPageListView::SelectedRowChanged, this, [this](int) { UpdateEditors(); });
}

int TEditedList::AddCaptionColumn(const QString& header) { return AddColumn(header); }

int TEditedList::AddChoiceColumn(const QString& header, const QStringList& choices)
{
    TValueColumn column;
    column.column = AddColumn(header);
    column.choices = choices;
    int count = int(choices.size());
    column.step = [count](int first) { return NextChoice(first, count); };
    m_Columns.push_back(column);
    return column.column;
}

int TEditedList::AddNumberColumn(const QString& header, TStep step, TText text)
{
    TValueColumn column;
    column.column = AddColumn(header, ckNumber, Qt::AlignRight | Qt::AlignVCenter);
    column.step = std::move(step);
    column.text = std::move(text);
    m_Columns.push_back(column);
    return column.column;
}

void TEditedList::SetStep(int column, TStep step)
{
    if (TValueColumn* c = FindColumn(column))
        c->step = std::move(step);
}

int TEditedList::AddTextColumn(const QString& header)
{
    TValueColumn column;
    column.column = AddColumn(header);
    column.isText = true;
    m_Columns.push_back(column);
    return column.column;
}

int TEditedList::AddAddressColumn(const QString& header)
{
    TValueColumn column;
    column.column = AddColumn(header);
    // The bits of the address travel in the int value.
    column.text = [](int value) { return IpText(uint32_t(value)); };
    m_Columns.push_back(column);
    return column.column;
}

void TEditedList::SetText(int row, int column, const QString& text)
{
    if (row >= 0 && row < RowCount() && FindColumn(column))
        Model()->SetCell(row, column, text);
}

void TEditedList::SetColumnEnabled(int column, bool enabled)
{
    if (TValueColumn* c = FindColumn(column)) {
        c->enabled = enabled;
        UpdateEditors();
    }
}

void TEditedList::SetEditorLabel(int column, QWidget* label)
{
    if (TValueColumn* c = FindColumn(column)) {
        c->label = label;
        UpdateEditors();
    }
}

void TEditedList::BindEditor(int column, QLineEdit* editor)
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
        emit ValueEdited(row, column);
    });
    UpdateEditors();
}

TEditedList::TValueColumn* TEditedList::FindColumn(int column)
{
    for (TValueColumn& c : m_Columns) {
        if (c.column == column)
            return &c;
    }
    return nullptr;
}

const TEditedList::TValueColumn* TEditedList::FindColumn(int column) const
{
    for (const TValueColumn& c : m_Columns) {
        if (c.column == column)
            return &c;
    }
    return nullptr;
}

QString TEditedList::TextOf(const TValueColumn& column, int value) const
{
    if (column.text)
        return column.text(value);
    if (!column.choices.isEmpty())
        return value >= 0 && value < column.choices.size() ? column.choices.at(value) : QString();
    return QString::number(value);
}

int TEditedList::AddEditedRow(const QString& caption, long long index, const std::vector<int>& values)
{
    TPageRow row;
    row.tag = index;
    row.cells.append(caption);
    int added = Model()->AddRow(std::move(row));
    for (std::size_t i = 0; i < m_Columns.size(); ++i) {
        if (!m_Columns[i].isText)
            SetValue(added, m_Columns[i].column, i < values.size() ? values[i] : 0);
    }
    return added;
}

int TEditedList::Value(int row, int column) const { return int(Model()->Number(row, column)); }

void TEditedList::SetValue(int row, int column, int value)
{
    const TValueColumn* c = FindColumn(column);
    if (!c || row < 0 || row >= RowCount())
        return;
    Model()->SetNumber(row, column, value);
    Model()->SetCell(row, column, TextOf(*c, value));
}

std::vector<int> TEditedList::Values(int row) const
{
    std::vector<int> values;
    values.reserve(m_Columns.size());
    for (const TValueColumn& c : m_Columns)
        values.push_back(Value(row, c.column));
    return values;
}

void TEditedList::BindEditor(int column, TIpEdit* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    connect(editor, &QLineEdit::textChanged, this, [this, column, editor] {
        EditorChanged(column, int(editor->IsHost() ? editor->Value() : 0));
    });
    UpdateEditors();
}

void TEditedList::BindEditor(int column, QComboBox* editor)
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

void TEditedList::BindEditor(int column, QSpinBox* editor)
{
    TValueColumn* c = FindColumn(column);
    if (!c || !editor)
        return;
    c->editor = editor;
    connect(editor, &QSpinBox::valueChanged, this, [this, column](int value) { EditorChanged(column, value); });
    UpdateEditors();
}

void TEditedList::AddSelectionControl(QWidget* control)
{
    if (!control)
        return;
    m_SelectionControls.push_back(control);
    control->setEnabled(SelectedRow() >= 0);
}

void TEditedList::EditorChanged(int column, int value)
{
    if (m_Updating)
        return;
    int row = SelectedRow();
    if (row < 0)
        return;
    SetValue(row, column, value);
    emit ValueEdited(row, column);
}

void TEditedList::UpdateEditors()
{
    int row = SelectedRow();
    m_Updating = true;
    for (const TValueColumn& c : m_Columns) {
        if (c.label)
            c.label->setEnabled(row >= 0 && c.enabled);
        if (!c.editor)
            continue;
        c.editor->setEnabled(row >= 0 && c.enabled);
        if (row < 0)
            continue;
        if (c.isText)
            static_cast<QLineEdit*>(c.editor)->setText(Text(row, c.column));
        else if (auto* combo = qobject_cast<QComboBox*>(c.editor))
            combo->setCurrentIndex(Value(row, c.column));
        else if (auto* spin = qobject_cast<QSpinBox*>(c.editor))
            spin->setValue(Value(row, c.column));
        else if (auto* address = qobject_cast<TIpEdit*>(c.editor))
            address->SetValue(uint32_t(Value(row, c.column)));
    }
    for (QWidget* control : m_SelectionControls)
        control->setEnabled(row >= 0);
    m_Updating = false;
}

void TEditedList::OnHeaderClicked(int column)
{
    const TValueColumn* c = FindColumn(column);
    if (c && c->enabled && c->step && RowCount() > 0) {
        int value = c->step(Value(0, column));
        for (int row = RowCount() - 1; row >= 0; --row)
            SetValue(row, column, value);
        UpdateEditors();
        for (int row = 0; row < RowCount(); ++row)
            emit ValueEdited(row, column);
    }
    emit HeaderClicked(column);
}
