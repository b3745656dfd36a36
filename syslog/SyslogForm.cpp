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
#include <QVBoxLayout>

#include "pages/kit/AddressText.h"
#include "pages/kit/LastColumnFill.h"
#include "pages/kit/PageInterface.h"
#include "pages/rules/PageRules.h"
#include "pages/kit/SyslogServer.h"
#include "syslog/SyslogText.h"

using namespace Syslog;

namespace {

TSyslogLogRow LogRow(const TSyslogListNode& node)
{
    TSyslogLogRow row;
    row.facility = node.facility;
    row.severity = node.severity;
    row.eventId = node.eventId;
    row.received = node.received;
    row.address = node.address;
    const QDateTime local = LocalDateTime(node.received);
    row.day = local.date().toJulianDay();
    row.timeOfDay = local.time().msecsSinceStartOfDay();
    row.message = node.message;
    return row;
}

} // namespace

// ---------------------------------------------------------------------------

TSyslogForm::TSyslogForm(QWidget* owner, const TSyslogList* list, TSyslogServer* names)
    : QDialog(owner)
{
    if (!names && g_ModuleCallback)
        names = g_ModuleCallback->GetSyslogServer();

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
    m_LogList = new TTypedReportList<TSyslogLogRow>(m_Splitter);
    using TRow = TSyslogLogRow;
    // Without a server the numbers stand for the names.
    m_LogList->Column(tr("Event ID"), [](const TRow& r) { return QString::number(r.eventId); }, &TRow::eventId);
    m_LogList->Column(tr("Facility"), [names](const TRow& r) {
        return names ? QString::fromLatin1(names->GetFacilityName(r.facility)) : QString::number(r.facility);
    }, &TRow::facility);
    m_LogList->Column(tr("Severity"), [names](const TRow& r) {
        if (!names)
            return QString::number(r.severity);
        const char* name = names->GetSeverityName(r.severity);
        return name ? QString::fromLatin1(name) : QString();
    }, &TRow::severity);
    m_LogList->Column(tr("Host"), [](const TRow& r) { return IpText(r.address); }, &TRow::address);
    // From the day and time read once per row: local time costs a time zone look-up.
    m_LogList->Column(tr("Date"), [](const TRow& r) {
        return QLocale::system().toString(QDate::fromJulianDay(r.day), QStringLiteral("MMM d"));
    }, &TRow::day);
    m_LogList->Column(tr("Time"), [](const TRow& r) {
        return LongTimeText(QTime::fromMSecsSinceStartOfDay(r.timeOfDay));
    }, &TRow::timeOfDay);
    // Byte by byte, case significant; a prefix comes first.
    m_LogList->Column(tr("Message"), [](const TRow& r) { return MessageText(r.message); },
                      [](const TRow& a, const TRow& b) { return Compare3(a.message.compare(b.message), 0); });
    const std::array<QIcon, 3> icons = SeverityImageIcons();
    m_LogList->SetIcon([icons](const TRow& r) { return icons[std::size_t(SeverityImage(r.severity))]; });
    if (list) {
        for (const TSyslogListNode& node : *list)
            m_LogList->Add(LogRow(node));
    }
    m_LogList->setIconSize(QSize(16, 16));
    QHeaderView* header = m_LogList->header();
    header->setHighlightSections(false);
    const int widths[] = {60, 100, 64, 100, 80, 80};
    for (int i = 0; i < int(std::size(widths)); ++i)
        header->resizeSection(i, ScaledPixels(this, widths[i]));
    FillLastColumn(m_LogList, header);
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
    // The list sorts itself on a header click.
    connect(m_LogList, &TUntypedReportList::HeaderClicked, this, &TSyslogForm::EventOnLogListSorted);
    connect(m_LogList, &TUntypedReportList::SelectedRowChanged, this, &TSyslogForm::EventOnLogListSelectItem);

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

void TSyslogForm::ShowSender(TSyslogServer* server, std::uint32_t address, std::uint32_t eventId, QWidget* owner,
    const std::function<void(TSyslogForm&)>& show)
{
    TSyslogList list;
    if (server)
        server->Query(address, &list, true);
    TSyslogForm form(owner, &list, server);
    form.setWindowTitle(IpText(address));
    if (eventId != 0)
        form.SelectEventId(eventId);
    if (show)
        show(form);
    else
        form.exec();
}

int TSyslogForm::RowCount() const { return m_LogList->RowCount(); }

int TSyslogForm::SelectedRow() const { return m_LogList->SelectedRow(); }

std::uint32_t TSyslogForm::EventIdAt(int row) const
{
    return row >= 0 && row < RowCount() ? m_LogList->Row(row).eventId : 0;
}

void TSyslogForm::SelectRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    m_LogList->SelectRow(row);
    m_LogList->scrollTo(m_LogList->Model()->index(row, 0));
}

int TSyslogForm::SortColumn() const { return m_LogList->Model()->SortColumn(); }

int TSyslogForm::SortDirection() const { return m_LogList->Model()->SortDirection(SortColumn()); }

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
        edit->setText(m_LogList->Text(row, column));
        edit->setCursorPosition(0);
    };
    show(m_EventId, colEventId);
    show(m_Facility, colFacility);
    show(m_Severity, colSeverity);
    show(m_Host, colHost);
    show(m_Date, colDate);
    show(m_Time, colTime);
    m_Memo->setPlainText(m_LogList->Text(row, colMessage));
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
    m_LogList->Model()->ClickColumn(column);
    EventOnLogListSorted();
}

void TSyslogForm::EventOnLogListSorted()
{
    QHeaderView* header = m_LogList->header();
    header->setSortIndicatorShown(true);
    header->setSortIndicator(SortColumn(), SortDirection() > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
    // The selected row may have moved: Previous and Next follow it.
    EventOnLogListSelectItem();
}
