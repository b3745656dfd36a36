#include "syslog/SyslogFrame.h"

#include <algorithm>

#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include "pages/kit/AddressText.h"
#include "pages/kit/LastColumnFill.h"
#include "pages/kit/MessageBox.h"
#include "pages/kit/PageBar.h"
#include "syslog/SyslogExport.h"
#include "syslog/SyslogForm.h"
#include "syslog/SyslogText.h"

using namespace Syslog;

// ---------------------------------------------------------------------------

TSyslogEventModel::TSyslogEventModel(const TSyslogStore& store, QObject* parent)
    : QAbstractTableModel(parent)
    , m_Store(store)
    , m_Rows(int(store.Size()))
    , m_Icons(SeverityImageIcons())
{
}

int TSyslogEventModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : m_Rows; }

int TSyslogEventModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : colCount; }

QVariant TSyslogEventModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= m_Rows || std::size_t(index.row()) >= m_Store.Size())
        return QVariant();
    const TSyslogRecord& record = m_Store.Record(std::size_t(index.row()));
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case colEventId:
            return QString::number(record.eventId);
        case colFacility:
            return QString::fromLatin1(FacilityName(record.facility));
        case colSeverity: {
            const char* name = SeverityName(record.severity);
            return name ? QString::fromLatin1(name) : QString();
        }
        case colHost:
            return IpText(record.address);
        case colDate:
            return ShortDateText(LocalDateTime(record.received));
        case colTime:
            return LongTimeText(LocalDateTime(record.received));
        case colMessage:
            return MessageText(record.Message());
        }
        break;
    case Qt::DecorationRole:
        if (index.column() == colEventId)
            return m_Icons[SeverityImage(record.severity)];
        break;
    case AddressRole:
        return QVariant::fromValue(record.address);
    case EventIdRole:
        return QVariant::fromValue(record.eventId);
    }
    return QVariant();
}

QVariant TSyslogEventModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const char* const captions[colCount]
        = {"Event ID", "Facility", "Severity", "Host", "Date", "Time", "Messages"};
    return ColumnCaption(captions, section, orientation, role);
}

void TSyslogEventModel::Appended(std::size_t dropped)
{
    if (dropped > 0) {
        const int removed = int(std::min<std::size_t>(dropped, std::size_t(m_Rows)));
        beginRemoveRows(QModelIndex(), 0, removed - 1);
        m_Rows -= removed;
        endRemoveRows();
    }
    const int rows = int(m_Store.Size());
    if (rows <= m_Rows)
        return;
    beginInsertRows(QModelIndex(), m_Rows, rows - 1);
    m_Rows = rows;
    endInsertRows();
}

void TSyslogEventModel::Reset()
{
    beginResetModel();
    m_Rows = int(m_Store.Size());
    endResetModel();
}

// ---------------------------------------------------------------------------

class TSyslogFrame::THold {
public:
    explicit THold(TSyslogFrame& page)
        : m_Page(page)
    {
        ++m_Page.m_Holding;
    }
    ~THold()
    {
        if (--m_Page.m_Holding == 0)
            m_Page.ReleaseHeld();
    }
    THold(const THold&) = delete;
    THold& operator=(const THold&) = delete;

private:
    TSyslogFrame& m_Page;
};

void TSyslogFrame::ReleaseHeld()
{
    const auto held = std::move(m_Held);
    m_Held.clear();
    std::vector<TReceivedMessage> messages;
    messages.reserve(held.size());
    for (const auto& [address, text] : held)
        messages.push_back({address, text.c_str()});
    if (!messages.empty())
        AddMessages(messages.data(), messages.size());
}

TSyslogFrame::TSyslogFrame(QWidget* owner)
    : TStaticPage(owner)
{
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
}

TSyslogFrame::~TSyslogFrame() = default;

void TSyslogFrame::showEvent(QShowEvent* event)
{
    BuildWidgets();
    TStaticPage::showEvent(event);
}

QTableView* TSyslogFrame::ListView()
{
    BuildWidgets();
    return m_ListView;
}

QLabel* TSyslogFrame::NumLabel()
{
    BuildWidgets();
    return m_Num;
}

// Messages wait in the store until then; the list starts with all it holds.
void TSyslogFrame::BuildWidgets()
{
    if (m_Panel)
        return;
    m_Model = new TSyslogEventModel(m_Store, this);

    m_Panel = new QWidget(this);
    layout()->addWidget(m_Panel);
    auto* panelLayout = new QVBoxLayout(m_Panel);
    panelLayout->setContentsMargins(6, 6, 6, 6);

    m_TPanel = new QWidget(m_Panel);
    TPageBar bar(m_TPanel);
    m_Num = bar.Value(tr("Num events:"), QStringLiteral("0"));
    m_Save = bar.Button(tr("&Save"), "RC_BITMAP_16X16_SAVE");
    m_Clear = bar.Button(tr("&Clear"), "RC_BITMAP_16X16_CLEAR");
    panelLayout->addWidget(m_TPanel);

    m_ListView = new QTableView(m_Panel);
    m_ListView->setModel(m_Model);
    m_ListView->setShowGrid(true);
    m_ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ListView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ListView->setSortingEnabled(false);
    m_ListView->setWordWrap(false);
    m_ListView->setIconSize(QSize(16, 16));
    m_ListView->verticalHeader()->hide();
    // Fixed row heights keep 100,000 rows cheap to lay out.
    m_ListView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_ListView->verticalHeader()->setDefaultSectionSize(qMax(18, fontMetrics().height() + 4));
    QHeaderView* header = m_ListView->horizontalHeader();
    header->setHighlightSections(false);
    header->setMinimumSectionSize(ScaledPixels(this, 40));
    const int widths[] = {56, 100, 64, 100, 80, 100};
    for (int i = 0; i < int(std::size(widths)); ++i)
        header->resizeSection(i, ScaledPixels(this, widths[i]));
    // The columns of short known texts take their widest text whole: severity
    // names, addresses, the date and time formats. Facility names grow the
    // column as they come on show.
    auto fit = [&](int column, const QStringList& texts) {
        int width = header->sectionSize(column);
        for (const QString& text : texts)
            width = qMax(width, fontMetrics().horizontalAdvance(text) + 12);
        header->resizeSection(column, width);
    };
    QStringList severities;
    for (int severity = 0; severity < 8; ++severity)
        severities << QString::fromLatin1(SeverityName(severity));
    const QDateTime sample(QDate(2026, 12, 28), QTime(23, 58, 58));
    fit(TSyslogEventModel::colSeverity, severities);
    fit(TSyslogEventModel::colHost, {QStringLiteral("255.255.255.255")});
    fit(TSyslogEventModel::colDate, {ShortDateText(sample)});
    fit(TSyslogEventModel::colTime, {LongTimeText(sample)});
    FillLastColumn(m_ListView, header);
    panelLayout->addWidget(m_ListView, 1);

    connect(m_Save, &QPushButton::clicked, this, [this] { EventOnSaveClick(); });
    connect(m_Clear, &QPushButton::clicked, this, &TSyslogFrame::EventOnClearClick);
    connect(m_ListView, &QTableView::doubleClicked, this, [this] { EventOnListViewDblClick(); });
    ShowCount();
    // Made while the page becomes visible, the panel is not shown with it.
    m_Panel->show();
}

QString TSyslogFrame::GetCaption() const { return QStringLiteral("Syslog Events"); }

void TSyslogFrame::Clear()
{
    m_Store.Clear();
    if (m_Model)
        m_Model->Reset();
    ShowCount();
}

bool TSyslogFrame::Parse(const char* text, TSyslogListNode& node)
{
    return ParseInto(text ? std::string_view(text) : std::string_view(), node, m_Store.YearBase(), Now());
}

void TSyslogFrame::AddMessage(std::uint32_t address, const char* text)
{
    const TReceivedMessage message{address, text};
    AddMessages(&message, 1);
}

void TSyslogFrame::AddMessages(const TReceivedMessage* messages, std::size_t count)
{
    if (m_Holding) {
        for (std::size_t i = 0; i < count; ++i)
            m_Held.emplace_back(messages[i].address, messages[i].text ? messages[i].text : "");
        return;
    }
    // The list and the count change once for the whole batch.
    const std::uint64_t dropped = m_Store.Dropped();
    for (std::size_t i = 0; i < count; ++i) {
        const char* text = messages[i].text;
        m_Store.Add(messages[i].address, text ? std::string_view(text) : std::string_view());
    }
    if (m_Model)
        m_Model->Appended(std::size_t(m_Store.Dropped() - dropped));
    ShowCount();
}

int TSyslogFrame::Count(std::uint32_t address) { return m_Store.Count(address); }

const char* TSyslogFrame::GetFacilityName(int facility) { return FacilityName(facility); }

const char* TSyslogFrame::GetSeverityName(int severity) { return SeverityName(severity); }

void TSyslogFrame::Query(std::uint32_t address, TSyslogList* list, bool markRead)
{
    if (list)
        m_Store.Query(address, *list, markRead);
}

TSenderSummary TSyslogFrame::Summary(std::uint32_t address) { return m_Store.Summary(address); }

void TSyslogFrame::ShowSender(std::uint32_t address, QWidget* owner)
{
    TSyslogForm::ShowSender(this, address, 0, owner);
}

bool TSyslogFrame::SaveToFile(const TSyslogList* list, const std::string& fileName)
{
    THold hold(*this);
    TSyslogList::const_iterator node, end;
    if (list) {
        node = list->begin();
        end = list->end();
    }
    return WriteExport(QString::fromStdString(fileName), [&](TExportEntry& entry) {
        if (node == end)
            return TExportPull::End;
        entry = {node->eventId, node->facility, node->severity, node->address, node->received, node->message};
        ++node;
        return TExportPull::Entry;
    });
}

// Streams the store in Query order without copying it; a Clear meanwhile
// fails the save.
bool TSyslogFrame::SaveStore(const QString& fileName)
{
    THold hold(*this);
    TSyslogStore::TCursor cursor = m_Store.Walk();
    return WriteExport(fileName, [&](TExportEntry& entry) {
        bool cleared = false;
        const TSyslogRecord* record = m_Store.Next(cursor, cleared);
        if (!record)
            return cleared ? TExportPull::Failed : TExportPull::End;
        entry = {record->eventId, record->facility, record->severity, record->address, record->received,
            record->Message()};
        return TExportPull::Entry;
    });
}

QString TSyslogFrame::AskSaveFileName()
{
    if (m_FileNameHook)
        return m_FileNameHook();
    QFileDialog dialog(this, tr("Save syslog messages to ..."));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters({tr("Excel file (*.xls)"), tr("All files (*)")});
    dialog.setDefaultSuffix(QStringLiteral("xls"));
    dialog.selectFile(QStringLiteral("syslog"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

bool TSyslogFrame::EventOnSaveClick()
{
    const QString fileName = AskSaveFileName();
    if (fileName.isEmpty())
        return false;
    if (!SaveStore(fileName)) {
        ShowError(tr("Cannot save syslog messages to %1.").arg(fileName));
        return false;
    }
    return true;
}

void TSyslogFrame::EventOnClearClick()
{
    const auto answer = ShowMessageBox(QMessageBox::Question, tr("Would you like to save these messages?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
    // Messages the user chose to keep are cleared only once they are saved;
    // those that come during the save are kept for after the Clear.
    if (answer == QMessageBox::Yes) {
        THold hold(*this);
        if (EventOnSaveClick())
            Clear();
    } else if (answer == QMessageBox::No) {
        Clear();
    }
}

void TSyslogFrame::EventOnListViewDblClick()
{
    if (!m_ListView)
        return;
    const QModelIndexList rows = m_ListView->selectionModel()->selectedRows();
    if (rows.isEmpty())
        return;
    const std::uint32_t address = rows.first().data(TSyslogEventModel::AddressRole).toUInt();
    const std::uint32_t eventId = rows.first().data(TSyslogEventModel::EventIdRole).toUInt();
    TSyslogForm::ShowSender(this, address, eventId, nullptr, m_ShowFormHook);
}

void TSyslogFrame::SetQueueDropped(std::uint64_t count)
{
    m_QueueDropped = count;
    ShowCount();
}

void TSyslogFrame::SetKernelDropped(std::uint64_t count)
{
    m_KernelDropped = count;
    ShowCount();
}

void TSyslogFrame::ShowCount()
{
    if (!m_Num)
        return;
    const std::uint64_t dropped = m_Store.Dropped() + m_QueueDropped;
    QStringList notes;
    if (dropped != 0)
        notes << (dropped == 1 ? tr("1 older message dropped") : tr("%1 older messages dropped").arg(dropped));
    if (m_KernelDropped != 0)
        notes << tr("%1 lost in a full receive buffer").arg(m_KernelDropped);
    if (notes.isEmpty())
        m_Num->setText(QString::number(m_Store.Size()));
    else
        m_Num->setText(QStringLiteral("%1 (%2)").arg(m_Store.Size()).arg(notes.join(QStringLiteral(", "))));
}
