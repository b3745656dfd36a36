#include "syslog/SyslogForm.h"

#include <QApplication>
#include <QClipboard>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "pages/kit/Module.h"
#include "pages/rules/PageRules.h"
#include "pages/kit/SyslogServer.h"
#include "syslog/SyslogText.h"

using namespace Syslog;

// ---------------------------------------------------------------------------

TSyslogLogModel::TSyslogLogModel(const TSyslogList& list, TSyslogServer* names, QObject* parent)
    : QAbstractTableModel(parent)
    , m_Names(names)
    , m_Icons(SeverityImageIcons())
{
    m_Rows.reserve(list.size());
    for (const TSyslogListNode& node : list) {
        TRow row;
        row.facility = node.facility;
        row.severity = node.severity;
        row.eventId = node.eventId;
        row.received = node.received;
        row.address = node.address;
        const QDateTime local = LocalDateTime(node.received);
        row.day = local.date().toJulianDay();
        row.timeOfDay = local.time().msecsSinceStartOfDay();
        row.message = node.message;
        m_Rows.push_back(std::move(row));
    }
}

int TSyslogLogModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : int(m_Rows.size()); }

int TSyslogLogModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : colCount; }

QVariant TSyslogLogModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || std::size_t(index.row()) >= m_Rows.size())
        return QVariant();
    const TRow& row = m_Rows[std::size_t(index.row())];
    if (role == Qt::DecorationRole && index.column() == colEventId)
        return m_Icons[SeverityImage(row.severity)];
    if (role != Qt::DisplayRole)
        return QVariant();
    switch (index.column()) {
    case colEventId:
        return QString::number(row.eventId);
    case colFacility:
        return m_Names ? QString::fromLatin1(m_Names->GetFacilityName(row.facility)) : QString::number(row.facility);
    case colSeverity:
        if (!m_Names)
            return QString::number(row.severity);
        if (const char* name = m_Names->GetSeverityName(row.severity))
            return QString::fromLatin1(name);
        return QString();
    case colHost:
        return QString::fromStdString(AddressText(row.address));
    case colDate:
        return QLocale::system().toString(LocalDateTime(row.received).date(), QStringLiteral("MMM d"));
    case colTime:
        return LongTimeText(LocalDateTime(row.received));
    case colMessage:
        return MessageText(row.message);
    }
    return QVariant();
}

QVariant TSyslogLogModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const captions[colCount]
        = {"Event ID", "Facility", "Severity", "Host", "Date", "Time", "Message"};
    return ColumnCaption(captions, section, orientation, role);
}

int TSyslogLogModel::Compare(int column, int left, int right) const
{
    const TRow& a = m_Rows[std::size_t(left)];
    const TRow& b = m_Rows[std::size_t(right)];
    switch (column) {
    case colEventId:
        return Compare3(a.eventId, b.eventId);
    case colFacility:
        return Compare3(a.facility, b.facility);
    case colSeverity:
        return Compare3(a.severity, b.severity);
    case colHost:
        return Compare3(a.address, b.address);
    case colDate:
        return Compare3(a.day, b.day);
    case colTime:
        return Compare3(a.timeOfDay, b.timeOfDay);
    case colMessage:
        // Byte by byte, case significant; a prefix comes first.
        return Compare3(a.message.compare(b.message), 0);
    }
    return 0;
}

bool TSyslogLogSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto* model = static_cast<const TSyslogLogModel*>(sourceModel());
    return model->Compare(left.column(), left.row(), right.row()) < 0;
}

// ---------------------------------------------------------------------------

TSyslogForm::TSyslogForm(QWidget* owner, const TSyslogList* list, TSyslogServer* names)
    : QDialog(owner)
{
    if (!names && g_ModuleCallback)
        names = g_ModuleCallback->GetSyslogServer();
    const TSyslogList empty;
    m_Model = new TSyslogLogModel(list ? *list : empty, names, this);
    m_Sorted = new TSyslogLogSortModel(this);
    m_Sorted->setSourceModel(m_Model);
    m_Sorted->setDynamicSortFilter(false);

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 8, 8, 8);

    m_TabControl = new QTabWidget(this);
    auto* tab = new QWidget;
    m_TabControl->addTab(tab, tr("Log"));
    outer->addWidget(m_TabControl, 1);
    auto* tabLayout = new QVBoxLayout(tab);

    auto* details = new QGridLayout;
    m_Date = AddDetail(details, 0, 0, tr("&Date:"));
    m_Time = AddDetail(details, 1, 0, tr("&Time:"));
    m_Severity = AddDetail(details, 2, 0, tr("&Severity:"));
    m_Facility = AddDetail(details, 0, 2, tr("&Facility:"));
    m_EventId = AddDetail(details, 1, 2, tr("&Event ID:"));
    m_Host = AddDetail(details, 2, 2, tr("&Host:"));
    details->setColumnStretch(1, 1);
    details->setColumnStretch(3, 1);

    auto* steps = new QVBoxLayout;
    m_Prev = new QPushButton(SyslogGlyph("RC_BITMAP_16X16_PREVIOUS"), QString(), tab);
    m_Next = new QPushButton(SyslogGlyph("RC_BITMAP_16X16_NEXT"), QString(), tab);
    m_Copy = new QPushButton(SyslogGlyph("RC_BITMAP_16X16_COPY"), QString(), tab);
    m_Prev->setToolTip(tr("Previous"));
    m_Next->setToolTip(tr("Next"));
    m_Copy->setToolTip(tr("Copy"));
    for (QPushButton* button : {m_Prev, m_Next, m_Copy}) {
        button->setEnabled(false);
        button->setAutoDefault(false);
        steps->addWidget(button);
    }
    steps->addStretch(1);
    auto* head = new QHBoxLayout;
    head->addLayout(details, 1);
    head->addLayout(steps);
    tabLayout->addLayout(head);

    m_InnerPanel = new QWidget(tab);
    auto* inner = new QVBoxLayout(m_InnerPanel);
    inner->setContentsMargins(12, 12, 12, 12);
    m_Label7 = new QLabel(tr("&Content:"), m_InnerPanel);
    inner->addWidget(m_Label7);
    m_Splitter = new QSplitter(Qt::Vertical, m_InnerPanel);
    m_Memo = new QPlainTextEdit(m_Splitter);
    m_Memo->setReadOnly(true);
    m_Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_Label7->setBuddy(m_Memo);
    m_LogList = new QTableView(m_Splitter);
    m_LogList->setModel(m_Sorted);
    m_LogList->setShowGrid(true);
    m_LogList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_LogList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_LogList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_LogList->setWordWrap(false);
    m_LogList->setIconSize(QSize(16, 16));
    m_LogList->verticalHeader()->hide();
    m_LogList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_LogList->verticalHeader()->setDefaultSectionSize(qMax(18, fontMetrics().height() + 4));
    QHeaderView* header = m_LogList->horizontalHeader();
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(true);
    const int widths[] = {60, 100, 64, 100, 80, 80};
    for (int i = 0; i < int(std::size(widths)); ++i)
        header->resizeSection(i, ScaledPixels(this, widths[i]));
    m_Splitter->addWidget(m_Memo);
    m_Splitter->addWidget(m_LogList);
    m_Splitter->setStretchFactor(0, 1);
    m_Splitter->setStretchFactor(1, 2);
    inner->addWidget(m_Splitter, 1);
    tabLayout->addWidget(m_InnerPanel, 1);

    m_BottomPanel = new QWidget(this);
    auto* bottom = new QHBoxLayout(m_BottomPanel);
    bottom->setContentsMargins(0, 0, 0, 0);
    m_Close = new QPushButton(SyslogGlyph("RC_BITMAP_16X16_EXIT"), tr("&Close"), m_BottomPanel);
    bottom->addStretch(1);
    bottom->addWidget(m_Close);
    outer->addWidget(m_BottomPanel);

    m_Splitter->setSizes({fontMetrics().height() * 5, fontMetrics().height() * 12});
    resize(qMax(sizeHint().width(), ScaledPixels(this, 480)), fontMetrics().height() * 36);

    connect(m_Prev, &QPushButton::clicked, this, &TSyslogForm::EventOnPrevClick);
    connect(m_Next, &QPushButton::clicked, this, &TSyslogForm::EventOnNextClick);
    connect(m_Copy, &QPushButton::clicked, this, &TSyslogForm::EventOnCopyClick);
    connect(m_Close, &QPushButton::clicked, this, &TSyslogForm::EventOnCloseClick);
    connect(header, &QHeaderView::sectionClicked, this, &TSyslogForm::EventOnLogListColumnClick);
    connect(m_LogList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
        &TSyslogForm::EventOnLogListSelectItem);

    if (RowCount() > 0)
        SelectRow(RowCount() - 1);
}

TSyslogForm::~TSyslogForm() = default;

QLineEdit* TSyslogForm::AddDetail(QGridLayout* grid, int row, int column, const QString& caption)
{
    auto* label = new QLabel(caption);
    auto* edit = new QLineEdit;
    edit->setReadOnly(true);
    edit->setFrame(false);
    // Shown on the parent's colour, like a label that can be selected.
    edit->setStyleSheet(QStringLiteral("QLineEdit { background: transparent; }"));
    label->setBuddy(edit);
    grid->addWidget(label, row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

void TSyslogForm::ShowSender(TSyslogServer* server, std::uint32_t address, std::uint32_t eventId, QWidget* owner)
{
    TSyslogList list;
    if (server)
        server->Query(address, &list, true);
    TSyslogForm form(owner, &list, server);
    form.setWindowTitle(QString::fromStdString(AddressText(address)));
    if (eventId != 0)
        form.SelectEventId(eventId);
    form.exec();
}

int TSyslogForm::RowCount() const { return m_Sorted->rowCount(); }

int TSyslogForm::SelectedRow() const
{
    const QModelIndexList rows = m_LogList->selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

std::uint32_t TSyslogForm::EventIdAt(int row) const
{
    if (row < 0 || row >= RowCount())
        return 0;
    return m_Model->Row(m_Sorted->mapToSource(m_Sorted->index(row, 0)).row()).eventId;
}

void TSyslogForm::SelectRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    const QModelIndex index = m_Sorted->index(row, 0);
    m_LogList->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    m_LogList->scrollTo(index);
}

void TSyslogForm::SelectEventId(std::uint32_t eventId)
{
    for (int row = RowCount() - 1; row >= 0; --row) {
        if (EventIdAt(row) == eventId) {
            SelectRow(row);
            return;
        }
    }
}

void TSyslogForm::EventOnLogListSelectItem()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    auto show = [&](QLineEdit* edit, int column) {
        edit->setText(m_Sorted->index(row, column).data().toString());
        edit->setCursorPosition(0);
    };
    show(m_EventId, TSyslogLogModel::colEventId);
    show(m_Facility, TSyslogLogModel::colFacility);
    show(m_Severity, TSyslogLogModel::colSeverity);
    show(m_Host, TSyslogLogModel::colHost);
    show(m_Date, TSyslogLogModel::colDate);
    show(m_Time, TSyslogLogModel::colTime);
    m_Memo->setPlainText(m_Sorted->index(row, TSyslogLogModel::colMessage).data().toString());
    m_Prev->setEnabled(row > 0);
    m_Next->setEnabled(row < RowCount() - 1);
    m_Copy->setEnabled(true);
}

void TSyslogForm::EventOnPrevClick()
{
    const int selected = SelectedRow();
    const int target = selected < 0 ? 0 : selected - 1;
    if (RowCount() == 0 || target < 0)
        return;
    SelectRow(target);
}

void TSyslogForm::EventOnNextClick()
{
    const int selected = SelectedRow();
    const int target = selected < 0 ? 0 : selected + 1;
    if (RowCount() == 0 || target >= RowCount())
        return;
    SelectRow(target);
}

void TSyslogForm::EventOnCopyClick()
{
    m_Memo->selectAll();
    m_Memo->copy();
}

void TSyslogForm::EventOnCloseClick() { accept(); }

void TSyslogForm::EventOnLogListColumnClick(int column)
{
    if (column == m_SortColumn) {
        m_SortDirection = -m_SortDirection;
    } else {
        m_SortColumn = column;
        m_SortDirection = 1;
    }
    const Qt::SortOrder order = m_SortDirection > 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_LogList->horizontalHeader()->setSortIndicatorShown(true);
    m_LogList->horizontalHeader()->setSortIndicator(column, order);
    m_Sorted->sort(column, order);
    // The selected row may have moved: Previous and Next follow it.
    EventOnLogListSelectItem();
}
