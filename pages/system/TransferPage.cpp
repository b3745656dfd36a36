#include "pages/system/TransferPage.h"

#include "intp/Device.h"
#include "intp/NetUtils.h"
#include "intp/SystemSettings.h"
#include "intp/Transfer.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionProgressBar>
#include <QStyledItemDelegate>
#include <QTimer>

#include <algorithm>
#include <new>

namespace {

const char* const ImageNames[] = {"RC_BITMAP_16X16_NEXT", "RC_BITMAP_16X16_ACCEPT", "RC_BITMAP_16X16_CANCEL",
                                  "RC_BITMAP_16X16_TIMER", "RC_BITMAP_16X16_EDIT"};

// The status cell of a running row with a known progress: a bar behind the
// row's text.
class TTransferStatusDelegate : public QStyledItemDelegate {
public:
    explicit TTransferStatusDelegate(TTransferPage* page) : QStyledItemDelegate(page), m_Page(page) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const int percent = m_Page->RowProgress(index.row());
        if (percent < 0) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        // The cell's own background (selection included) under the bar.
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.text.clear();
        QStyle* style = option.widget ? option.widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, option.widget);

        QStyleOptionProgressBar bar;
        bar.initFrom(option.widget);
        // Without the horizontal flag the style draws a vertical bar, turned
        // out of the cell.
        bar.state |= QStyle::State_Horizontal;
        bar.rect = option.rect.adjusted(1, 1, -1, -1);
        bar.minimum = 0;
        bar.maximum = 100;
        bar.progress = percent;
        bar.text = index.data().toString();
        bar.textVisible = true;
        bar.textAlignment = Qt::AlignCenter;
        painter->save();
        painter->setClipRect(option.rect);
        style->drawControl(QStyle::CE_ProgressBar, &bar, painter, option.widget);
        painter->restore();
    }

private:
    const TTransferPage* m_Page;
};

}  // namespace

TTransferModePanel TTransferPage::MakeModePanel(const QString& openText, const QString& fieldText)
{
    TTransferModePanel m;
    m.panel = new QWidget(this);
    m.local = new QRadioButton("Use &build-in support:", m.panel);
    m.path = new QLineEdit(m.panel);
    m.path->setReadOnly(true);
    m.path->setFocusPolicy(Qt::NoFocus);
    m.open = new QPushButton(openText, m.panel);
    LoadGlyph(m.open, "RC_BITMAP_16X16_OPEN");
    m.remote = new QRadioButton("Use &remote tftp server:", m.panel);
    m.serverLabel = new QLabel("&TFTP Server IP:", m.panel);
    m.server = new QLineEdit(m.panel);
    m.serverLabel->setBuddy(m.server);
    m.fieldLabel = new QLabel(fieldText, m.panel);
    m.field = new QLineEdit(m.panel);
    m.fieldLabel->setBuddy(m.field);

    auto* grid = new QGridLayout(m.panel);
    grid->addWidget(m.local, 0, 0);
    grid->addWidget(m.path, 0, 1, 1, 2);
    grid->addWidget(m.open, 0, 3);
    grid->addWidget(m.remote, 1, 0);
    grid->addWidget(m.serverLabel, 1, 1);
    grid->addWidget(m.server, 1, 2);
    grid->addWidget(m.fieldLabel, 2, 1);
    grid->addWidget(m.field, 2, 2);
    grid->setColumnStretch(2, 1);
    return m;
}

bool TTransferModePanel::IsLocal() const { return !remote->isChecked(); }

void TTransferModePanel::ShowMethod() const
{
    const bool buildin = IsLocal();
    path->setEnabled(buildin);
    open->setEnabled(buildin);
    serverLabel->setEnabled(!buildin);
    server->setEnabled(!buildin);
    if (fieldIsTftp) {
        fieldLabel->setEnabled(!buildin);
        field->setEnabled(!buildin);
    }
}

std::uint32_t TTransferModePanel::Server() const { return StringToIp(server->text().toStdString()); }

std::string TTransferModePanel::LocalPath() const { return QFile::encodeName(path->text()).toStdString(); }

Intp::TTftpParam TTransferModePanel::TftpParam() const
{
    return Intp::MakeTftpParam(Server(), 69, SwitchBytes(field->text()));
}

void TTransferModePanel::LimitField(int bytes) const { MakeSwitchText(field, std::size_t(bytes)); }

bool TTransferModePanel::IsReady() const
{
    if (IsLocal()) {
        const QFileInfo chosen(path->text());
        return !path->text().isEmpty() && (folder ? chosen.isDir() : chosen.isFile());
    }
    const std::string name = SwitchBytes(field->text());
    return IsValidHostIp(Server()) &&
           (!fieldIsTftp || (!name.empty() && name.size() <= sizeof(Intp::TTftpParam::name)));
}

TPageForm TTransferPage::LayOut(QWidget* top)
{
    TPageForm form(this);
    // The page enables its controls itself: by rows, mode and run.
    form.NeedsDevice(false);
    if (top)
        form.Section(top);
    form.List(QString(), m_ListView);
    return form;
}

TTransferOutcome TTransferPage::OutcomeOf(std::uint32_t word)
{
    switch (word) {
    case 2:
        return toDone;
    case 4:
        return toError;
    case 1:
        return toWritingFlash;
    default:
        return toRunning;
    }
}

QString TransferVersionText(std::uint16_t version)
{
    return QString::asprintf("v%d.%02d", version >> 8, version & 0xFF);
}

TTransferPage::TTransferPage(const QString& caption, int images, QWidget* parent) : TWizardModulePage(caption, parent)
{
    for (int i = 0; i < images && i < int(std::size(ImageNames)); ++i)
        m_Images.push_back(PageGlyph(ImageNames[i]));

    m_ListView = new TTypedReportList<TTransferRow>(this);
    m_ListView->SetKey([](const TTransferRow& r) { return MacKey(r.mac); });
    m_ListView->Column("Model", [](const TTransferRow& r) { return r.model; });
    m_ListView->Column("Kernel Ver.", [](const TTransferRow& r) { return r.kernel; });
    m_ListView->Column("Firmware Ver.", [](const TTransferRow& r) { return r.firmware; });
    m_ListView->Column("MAC", [](const TTransferRow& r) { return r.macText; });
    m_ListView->Column("IP Address", [](const TTransferRow& r) { return r.ip; });
    m_ListView->Column("Status", [](const TTransferRow& r) { return r.status; });
    m_ListView->SetIcon([this](const TTransferRow& r) {
        return r.state >= 0 && r.state < int(m_Images.size()) ? m_Images[std::size_t(r.state)] : QIcon();
    });
    m_ListView->Model()->SetSortMode(smNone);
    m_ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView* header = m_ListView->header();
    header->setSectionsClickable(false);
    header->setStretchLastSection(true);
    m_ListView->SetColumnsFollowContents();

    m_ListView->setItemDelegateForColumn(tcStatus, new TTransferStatusDelegate(this));

    m_Watchdog = new QTimer(this);
    m_Watchdog->setInterval(WatchdogTickMs);
    connect(m_Watchdog, &QTimer::timeout, this, [this] { EventOnWatchdogTimer(); });

    SetHideWhileRefilling(false);
}

TTransferPage::~TTransferPage() = default;

qint64 TTransferPage::Now() const { return m_Clock ? m_Clock() : QDateTime::currentMSecsSinceEpoch(); }

TTransferState TTransferPage::RowState(int row) const
{
    return row >= 0 && row < RowCount() ? m_ListView->Row(row).state : tsIdle;
}

QString TTransferPage::RowText(int row, int column) const
{
    return row >= 0 && row < RowCount() ? m_ListView->Text(row, column) : QString();
}

int TTransferPage::RowProgress(int row) const
{
    if (row < 0 || row >= RowCount() || m_ListView->Row(row).state != tsRunning)
        return -1;
    return m_ListView->Row(row).percent;
}

void TTransferPage::SetRowProgress(int row, int percent)
{
    if (percent == m_ListView->Row(row).percent)
        return;
    ChangeRow(row, [&](TTransferRow& r) { r.percent = percent; });
    m_ListView->update(m_ListView->Model()->index(row, tcStatus));
}

int TTransferPage::FindRow(const Intp::TMacAddr& mac) const
{
    return m_ListView->Find(MacKey(mac));
}

void TTransferPage::OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    // The list is frozen while a run lasts.
    if (m_Busy)
        return;
    TWizardModulePage::OnNotify(device, code, status);
}

int TTransferPage::Refresh(bool current)
{
    // The version columns fill in as the reads come back; the page never waits.
    if (current)
        SendToSelectedDevices<Intp::TSessionBasicsSettingsGet>([](Intp::TSessionBasicsSettingsGet&) {},
                                                               static_cast<Intp::TWizard*>(this));
    return 0;
}

bool TTransferPage::CanLeave(bool force) { return force || !m_Busy; }

QString TTransferPage::RunningWork() const
{
    return m_Busy ? QString("\"%1\" %2").arg(GetCaption(), RunningText()) : QString();
}

TTransferRow TTransferRow::Of(Intp::TDevice* device)
{
    TTransferRow row;
    row.mac = device->GetMac();
    row.model = SwitchText(device->GetTypeName());
    const auto& settings = Intp::Property<Intp::TPropertyBasicsSettings>::Get(device);
    row.kernel = settings.valid ? TransferVersionText(settings.KernelVersion) : "Invalid";
    row.firmware = settings.valid ? TransferVersionText(settings.FirmwareVersion) : "Invalid";
    row.macText = SwitchText(device->GetMac().ToString());
    row.ip = SwitchText(IpToString(device->GetIp()));
    return row;
}

QStringList TTransferRow::Cells() const { return {model, kernel, firmware, macText, ip}; }

TTransferRow TTransferRow::Of(const Intp::TMacAddr& mac, const QStringList& cells)
{
    TTransferRow row;
    row.mac = mac;
    int column = 0;
    for (QString* cell : {&row.model, &row.kernel, &row.firmware, &row.macText, &row.ip})
        *cell = cells.value(column++);
    return row;
}

void TTransferPage::SetRows(const std::vector<TTransferRow>& rows)
{
    // Rows of a run that is still going are dropped with it.
    if (m_Busy)
        SetBusy(false);
    ShowRows(rows);
}

void TTransferPage::ShowRows(const std::vector<TTransferRow>& rows)
{
    m_ListView->Clear();
    for (const TTransferRow& row : rows)
        m_ListView->Add(row);
}

void TTransferPage::Fill(Intp::TDevice*)
{
    std::vector<TTransferRow> rows;
    std::vector<Intp::TDevice*> listed;
    for (Intp::TDevice* device : TargetDevices()) {
        if (!device || !device->IsLoggedIn())
            continue;
        rows.push_back(TTransferRow::Of(device));
        listed.push_back(device);
    }
    ShowRows(rows);
    AfterFill(listed);
}

void TTransferPage::ShowVersions(Intp::TDevice* device, int row)
{
    const TTransferRow now = TTransferRow::Of(device);
    ChangeRow(row, [&](TTransferRow& r) {
        r.kernel = now.kernel;
        r.firmware = now.firmware;
    });
}

void TTransferPage::SetRow(int row, const QString& text, TTransferState state)
{
    if (row < 0 || row >= RowCount())
        return;
    ChangeRow(row, [&](TTransferRow& r) {
        r.status = text;
        r.state = state;
        r.percent = -1;
    });
}

QString TTransferPage::StartBlocker() const
{
    if (m_Busy)
        return "A transfer is running; it starts again once every row has its outcome.";
    if (RowCount() == 0)
        return "None of the selected switches is logged in: log in first.";
    return QString();
}

QString TTransferPage::NoServerText()
{
    return "Enter the TFTP server's address (not 0.0.0.0, 255.255.255.255 or 127.x.x.x).";
}

int TTransferPage::StartRun()
{
    for (int row = 0; row < RowCount(); ++row) {
        // The texts of the last run stay until a row starts again.
        ChangeRow(row, [](TTransferRow& r) { r.state = tsIdle; });
    }
    int started = StartTransfers(0);
    if (started != 0)
        SetBusy(true);
    return started;
}

int TTransferPage::StartRows(int first, int limit, const QString& runningText, const TMakeRequest& make, bool reverse)
{
    int count = 0;
    const int step = reverse ? -1 : 1;
    for (int row = first; row >= 0 && row < RowCount(); row += step) {
        Intp::TDevice* device = Intp::FindDevice(RowMac(row), true);
        if (!device) {
            SetRow(row, "Initialize Error", tsError);
            continue;
        }
        bool prepared = true;
        Intp::TSession* request = make(device, prepared);
        if (!request) {
            SetRow(row, "Memory insufficient", tsError);
            continue;
        }
        if (!prepared) {
            delete request;
            request = nullptr;
        }
        if (!Intp::StartOrDelete(request, device, this)) {
            SetRow(row, "Fail to send request", tsError);
            continue;
        }
        ChangeRow(row, [&](TTransferRow& r) {
            r.status = runningText;
            r.state = tsRunning;
            r.lastHeard = Now();
            // A bar from the start where the page can tell how far a row is.
            r.percent = ShowsProgress() ? 0 : -1;
        });
        if (++count == limit)
            break;
    }
    return count;
}

void TTransferPage::OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context)
{
    if (code == Intp::ccBasicsSettingsGet) {
        if (device) {
            int row = FindRow(device->GetMac());
            if (row >= 0)
                ShowVersions(device, row);
        }
        return;
    }
    if (!m_Busy || !device || !IsRunCode(code))
        return;
    int row = FindRow(device->GetMac());
    // A row that has its outcome keeps it: a late time-out never overwrites
    // the switch's own error or done.
    if (row < 0 || !IsActive(RowState(row)))
        return;
    ChangeRow(row, [&](TTransferRow& r) { r.lastHeard = Now(); });

    bool final = true;
    if (status == Intp::ssOk) {
        switch (Progress(code, context)) {
        case toDone:
            SetRow(row, "Done", tsDone);
            break;
        case toError:
            SetRow(row, "Error", tsError);
            break;
        case toWritingFlash:
            SetRow(row, "Writing flash", tsWritingFlash);
            final = false;
            break;
        case toRunning:
            if (int percent = ProgressPercent(code, context); percent >= 0)
                SetRowProgress(row, std::min(percent, 100));
            final = false;
            break;
        }
    } else if (status == Intp::ssTimeout) {
        SetRow(row, "Timeout", tsTimeout);
    } else {
        SetRow(row, QString::asprintf("Error: 0x%04x", unsigned(status)), tsError);
    }
    ContinueRun(final ? row : -1);
}

void TTransferPage::ContinueRun(int ended)
{
    bool active = false;
    int running = 0;
    int firstIdle = -1;
    for (int row = 0; row < RowCount(); ++row) {
        TTransferState state = RowState(row);
        if (IsActive(state))
            active = true;
        if (state == tsRunning)
            ++running;
        if (state == tsIdle && firstIdle < 0)
            firstIdle = row;
    }
    if (StartsNextAtOnce()) {
        if (ended >= 0 && !active && StartTransfers(ended + 1) != 0)
            active = true;
    } else if (running == 0 && firstIdle >= 0 && StartTransfers(firstIdle) != 0) {
        active = true;
    }
    // Rows writing flash keep the run going even when no further row starts.
    SetBusy(active);
}

void TTransferPage::SetBusy(bool busy)
{
    bool changed = busy != m_Busy;
    m_Busy = busy;
    if (busy && !m_Watchdog->isActive())
        m_Watchdog->start();
    else if (!busy)
        m_Watchdog->stop();
    if (changed || !busy)
        OnBusyChanged(busy);
}

void TTransferPage::EventOnWatchdogTimer()
{
    if (!m_Busy) {
        m_Watchdog->stop();
        return;
    }
    const qint64 now = Now();
    int ended = -1;
    for (int row = 0; row < RowCount(); ++row) {
        const TTransferRow& entry = m_ListView->Row(row);
        if (IsActive(entry.state) && now - entry.lastHeard > WatchdogMs) {
            SetRow(row, "Timeout", tsTimeout);
            ended = row;
        }
    }
    if (ended >= 0)
        ContinueRun(ended);
}
