#include "console/FilterForm.h"

#include "pages/kit/MessageBox.h"
#include "pages/kit/PageWidgets.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHash>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The dialog's widths, folded and with the remote panel.
constexpr int kFoldedWidth = 311;
constexpr int kUnfoldedWidth = 705;

std::string Text(const QLineEdit* edit)
{
    return edit->text().trimmed().toStdString();
}

}  // namespace

QString SubnetText(const TIpMask& pair)
{
    return IpText(pair.Address) + QLatin1Char('/') + IpText(pair.Mask);
}

TFilterForm::TFilterForm(QWidget* parent)
    : TFilterForm(
          [] {
              TIpMaskVector subnets;
              GetLocalIpMasks(subnets);
              return subnets;
          }(),
          parent)
{
}

TFilterForm::TFilterForm(const TIpMaskVector& localSubnets, QWidget* parent)
    : QDialog(parent)
{
    m_Settings.LocalSubnets = localSubnets;
    CreateControls();
    SetRemoteExpanded(false);
}

void TFilterForm::CreateControls()
{
    setWindowTitle(tr("Set Discovery Filter"));

    auto* tabs = new QTabWidget(this);
    auto* page = new QWidget(tabs);
    tabs->addTab(page, tr("Discovery Type"));
    // Narrow margins: the longest method caption just fits the folded width.
    const int margin = style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing);
    auto* pageLayout = new QHBoxLayout(page);
    pageLayout->setContentsMargins(margin, margin, margin, margin);

    // Method panel.
    auto* left = new QWidget(page);
    auto* grid = new QGridLayout(left);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* methods = new QButtonGroup(this);

    m_Subnet = new QRadioButton(tr("&Local Subnets"), left);
    m_SubnetLabel = new QLabel(tr("&Address:"), left);
    m_SubnetCombo = new QComboBox(left);
    // Wide enough for its longest line.
    m_SubnetCombo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_SubnetLabel->setBuddy(m_SubnetCombo);
    m_Gateway = new QRadioButton(tr("&Primary Interface/Gateway/Default Route"), left);
    m_GatewayLabel = new QLabel(left);
    m_GatewayLabel->setWordWrap(true);
    m_Custom = new QRadioButton(tr("C&ustomize"), left);
    m_Custom->setChecked(true);
    m_CustomIpLabel = new QLabel(tr("&IP Address:"), left);
    m_CustomIp = new QLineEdit(left);
    m_CustomIpLabel->setBuddy(m_CustomIp);
    m_CustomMaskLabel = new QLabel(tr("&Mask:"), left);
    m_CustomMask = new QLineEdit(left);
    m_CustomMaskLabel->setBuddy(m_CustomMask);
    m_CustomRange = new QCheckBox(tr("&Range in this subnet"), left);
    m_CustomBeginLabel = new QLabel(tr("&Begin:"), left);
    m_CustomBegin = new QLineEdit(left);
    m_CustomBeginLabel->setBuddy(m_CustomBegin);
    m_CustomEndLabel = new QLabel(tr("&End:"), left);
    m_CustomEnd = new QLineEdit(left);
    m_CustomEndLabel->setBuddy(m_CustomEnd);
    methods->addButton(m_Subnet);
    methods->addButton(m_Gateway);
    methods->addButton(m_Custom);

    const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                       style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);
    int row = 0;
    grid->addWidget(m_Subnet, row++, 0, 1, 3);
    // The lines are long: the list goes below its label.
    grid->addWidget(m_SubnetLabel, row++, 1, 1, 2);
    grid->addWidget(m_SubnetCombo, row++, 1, 1, 2);
    grid->addWidget(m_Gateway, row++, 0, 1, 3);
    grid->addWidget(m_GatewayLabel, row++, 1, 1, 2);
    grid->addWidget(m_Custom, row++, 0, 1, 3);
    grid->addWidget(m_CustomIpLabel, row, 1);
    grid->addWidget(m_CustomIp, row++, 2);
    grid->addWidget(m_CustomMaskLabel, row, 1);
    grid->addWidget(m_CustomMask, row++, 2);
    grid->addWidget(m_CustomRange, row++, 1, 1, 2);
    grid->addWidget(m_CustomBeginLabel, row, 1);
    grid->addWidget(m_CustomBegin, row++, 2);
    grid->addWidget(m_CustomEndLabel, row, 1);
    grid->addWidget(m_CustomEnd, row++, 2);
    grid->setRowStretch(row, 1);
    grid->setColumnMinimumWidth(0, indent);
    grid->setColumnStretch(2, 1);
    pageLayout->addWidget(left);

    // Remote panel.
    m_RemotePanel = new QWidget(page);
    auto* remote = new QGridLayout(m_RemotePanel);
    remote->setContentsMargins(0, 0, 0, 0);
    auto* remoteIpLabel = new QLabel(tr("Remote IP A&ddress:"), m_RemotePanel);
    m_RemoteIp = new QLineEdit(m_RemotePanel);
    remoteIpLabel->setBuddy(m_RemoteIp);
    // Glyph buttons, in tab order after their edits: the tip says what they
    // do, the accessible name names them.
    m_RemoteAdd = new QPushButton(m_RemotePanel);
    auto* remoteEndLabel = new QLabel(tr("or to ran&ge:"), m_RemotePanel);
    m_RemoteIpEnd = new QLineEdit(m_RemotePanel);
    remoteEndLabel->setBuddy(m_RemoteIpEnd);
    m_RemoteAddRange = new QPushButton(m_RemotePanel);
    for (QPushButton* add : {m_RemoteAdd, m_RemoteAddRange})
        LoadGlyph(add, "RC_BITMAP_16X16_ADD");
    m_RemoteAdd->setAccessibleName(tr("Add"));
    m_RemoteAdd->setToolTip(tr("Add the address"));
    m_RemoteAddRange->setAccessibleName(tr("Add Range"));
    m_RemoteAddRange->setToolTip(tr("Add every address of the range"));
    m_RemoteRows = new TRemoteListModel(this);
    m_RemoteList = new QTreeView(m_RemotePanel);
    m_RemoteList->setModel(m_RemoteRows);
    m_RemoteList->setRootIsDecorated(false);
    m_RemoteList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_RemoteList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_RemoteList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_RemoteList->setUniformRowHeights(true);
    m_RemoteList->header()->setSectionsClickable(true);
    m_RemoteList->header()->setStretchLastSection(true);
    // The address columns: the longest address and a margin.
    // The view, not shown yet, isn't told: it would lay out its rows on the
    // next pass of the event loop, whatever Load Config has put there by then.
    const int columnWidth = m_RemoteList->fontMetrics().horizontalAdvance(QStringLiteral("255.255.255.255MM"));
    {
        QSignalBlocker quiet(m_RemoteList->header());
        m_RemoteList->setColumnWidth(0, columnWidth);
        m_RemoteList->setColumnWidth(1, columnWidth);
    }
    m_RemoteClear = new QPushButton(tr("Clear"), m_RemotePanel);
    m_RemoteDelete = new QPushButton(tr("Delete"), m_RemotePanel);
    LoadGlyph(m_RemoteClear, "RC_BITMAP_16X16_CLEAR");
    LoadGlyph(m_RemoteDelete, "RC_BITMAP_16X16_DELETE");
    m_RemoteClear->setEnabled(false);
    m_RemoteDelete->setEnabled(false);
    remote->addWidget(remoteIpLabel, 0, 0);
    remote->addWidget(m_RemoteIp, 0, 1);
    remote->addWidget(m_RemoteAdd, 0, 2);
    remote->addWidget(remoteEndLabel, 1, 0);
    remote->addWidget(m_RemoteIpEnd, 1, 1);
    remote->addWidget(m_RemoteAddRange, 1, 2);
    remote->addWidget(m_RemoteList, 2, 0, 1, 3);
    auto* remoteButtons = new QHBoxLayout;
    remoteButtons->addStretch(1);
    remoteButtons->addWidget(m_RemoteClear);
    remoteButtons->addWidget(m_RemoteDelete);
    remote->addLayout(remoteButtons, 3, 0, 1, 3);
    pageLayout->addWidget(m_RemotePanel, 1);

    // Bottom row.
    m_Remote = new QPushButton(this);
    m_Cancel = new QPushButton(tr("&Cancel"), this);
    m_Ok = new QPushButton(tr("&OK"), this);
    LoadGlyph(m_Remote, "RC_BITMAP_16X16_INTERNET");
    LoadGlyph(m_Cancel, "RC_BITMAP_16X16_CANCEL");
    LoadGlyph(m_Ok, "RC_BITMAP_16X16_ACCEPT");
    m_Ok->setDefault(true);
    m_Remote->setAutoDefault(false);
    m_Cancel->setAutoDefault(false);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_Remote);
    bottom->addStretch(1);
    bottom->addWidget(m_Cancel);
    bottom->addWidget(m_Ok);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(tabs, 1);
    layout->addLayout(bottom);

    connect(m_Subnet, &QRadioButton::clicked, this, &TFilterForm::EventOnSubnetClick);
    connect(m_Gateway, &QRadioButton::clicked, this, &TFilterForm::EventOnGatewayClick);
    connect(m_Custom, &QRadioButton::clicked, this, &TFilterForm::EventOnCustomClick);
    connect(m_CustomRange, &QCheckBox::clicked, this, &TFilterForm::EventOnCustomClick);
    connect(m_SubnetCombo, &QComboBox::currentIndexChanged, this, &TFilterForm::EventOnSubnetComboChange);
    connect(m_CustomIp, &QLineEdit::textEdited, this, &TFilterForm::EventOnCustomTextChange);
    connect(m_CustomMask, &QLineEdit::textEdited, this, &TFilterForm::EventOnCustomTextChange);
    for (QLineEdit* edit : {m_CustomIp, m_CustomMask, m_CustomBegin, m_CustomEnd})
        connect(edit, &QLineEdit::editingFinished, this, &TFilterForm::EventOnCustomEditExit);
    connect(m_RemoteIp, &QLineEdit::textEdited, this, &TFilterForm::EventOnRemoteIpChange);
    connect(m_RemoteAdd, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteAddClick);
    connect(m_RemoteAddRange, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteAddRangeClick);
    connect(m_RemoteClear, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteClearClick);
    connect(m_RemoteDelete, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteDeleteClick);
    connect(m_RemoteList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TFilterForm::EventOnRemoteSelectionChange);
    connect(m_RemoteList->header(), &QHeaderView::sectionClicked, this, &TFilterForm::EventOnRemoteHeaderClick);
    connect(m_Remote, &QPushButton::clicked, this, &TFilterForm::EventOnRemoteClick);
    connect(m_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_Ok, &QPushButton::clicked, this, &TFilterForm::EventOnOkClick);
}

Filter::TFilterSettings* TFilterForm::GetSettings()
{
    return &m_Settings;
}

bool TFilterForm::Accept(std::uint32_t address)
{
    return Filter::AcceptAddress(m_Settings, address);
}

void TFilterForm::GetTargets(TIpMaskList& targets)
{
    Filter::CollectTargets(m_Settings, targets);
}

void TFilterForm::SetSettings(Filter::TFilterSettings settings)
{
    m_Settings = std::move(settings);
    RefreshFromSettings();
}

QString TFilterForm::getnetworkname(std::uint32_t ifIndex) const
{
    if (m_NameLookup)
        return m_NameLookup(ifIndex);
    return QString::fromStdString(GetInterfaceName(ifIndex));
}

void TFilterForm::showEvent(QShowEvent* event)
{
    RefreshFromSettings();
    QDialog::showEvent(event);
}

void TFilterForm::RefreshFromSettings()
{
    {
        QSignalBlocker block(m_SubnetCombo);
        m_SubnetCombo->clear();
        for (const TIpMask& pair : m_Settings.LocalSubnets)
            m_SubnetCombo->addItem(SubnetText(pair));
    }
    const int line = Filter::FindSubnetLine(m_Settings);
    const bool haveSubnets = !m_Settings.LocalSubnets.empty();
    m_Subnet->setEnabled(haveSubnets);
    m_Gateway->setEnabled(haveSubnets);
    if (haveSubnets) {
        QSignalBlocker block(m_SubnetCombo);
        m_SubnetCombo->setCurrentIndex(0);
        m_GatewayLabel->setText(m_SubnetCombo->itemText(0));
    } else {
        m_GatewayLabel->setText(tr("No networking or fetch subnets failed!"));
    }

    m_Edit = {m_Settings.Address, m_Settings.Mask, m_Settings.Begin, m_Settings.End};
    WriteCustomEdits(nullptr);

    const bool range = Filter::RestoreMethod(m_Settings, line);
    switch (m_Settings.Method) {
    case Filter::fmSubnet: {
        m_Subnet->setChecked(true);
        QSignalBlocker block(m_SubnetCombo);
        m_SubnetCombo->setCurrentIndex(line);
        EventOnSubnetClick();
        break;
    }
    case Filter::fmGateway:
        m_Gateway->setChecked(true);
        EventOnGatewayClick();
        break;
    default:
        m_Custom->setChecked(true);
        m_CustomRange->setChecked(range);
        EventOnCustomClick();
        break;
    }

    m_RemoteRows->Clear();
    m_RemoteAddresses.clear();
    std::vector<std::uint32_t> unicasts;
    unicasts.reserve(m_Settings.Unicasts.size());
    for (const TIpMask& unicast : m_Settings.Unicasts)
        unicasts.push_back(unicast.Address);
    AddRemoteAddresses(unicasts);
    UpdateRemoteButtons();
}

void TFilterForm::EnableByMethod()
{
    const bool subnet = m_Subnet->isChecked();
    const bool gateway = m_Gateway->isChecked();
    const bool custom = !subnet && !gateway;
    m_SubnetLabel->setEnabled(subnet);
    m_SubnetCombo->setEnabled(subnet);
    m_GatewayLabel->setEnabled(gateway);
    for (QWidget* w : std::initializer_list<QWidget*>{m_CustomIpLabel, m_CustomIp, m_CustomMaskLabel, m_CustomMask,
                                                      m_CustomRange})
        w->setEnabled(custom);
    const bool range = custom && m_CustomRange->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_CustomBeginLabel, m_CustomBegin, m_CustomEndLabel, m_CustomEnd})
        w->setEnabled(range);
    for (QWidget* w :
         std::initializer_list<QWidget*>{m_RemoteIp, m_RemoteAdd, m_RemoteIpEnd, m_RemoteAddRange, m_RemoteList})
        w->setEnabled(custom);
    UpdateRemoteButtons();
}

void TFilterForm::SetEditFromPair(const TIpMask& pair)
{
    m_Edit.Address = pair.Address;
    m_Edit.Mask = pair.Mask;
    m_Edit.Begin = Filter::SubnetBegin(pair.Address, pair.Mask);
    m_Edit.End = Filter::SubnetEnd(pair.Address, pair.Mask);
}

void TFilterForm::EventOnSubnetClick()
{
    EnableByMethod();
    const int index = m_SubnetCombo->currentIndex();
    if (index >= 0 && std::size_t(index) < m_Settings.LocalSubnets.size())
        SetEditFromPair(m_Settings.LocalSubnets[std::size_t(index)]);
}

void TFilterForm::EventOnGatewayClick()
{
    EnableByMethod();
    if (!m_Settings.LocalSubnets.empty())
        SetEditFromPair(m_Settings.LocalSubnets.front());
}

void TFilterForm::EventOnCustomClick()
{
    EnableByMethod();
    EvaluateCustom(nullptr);
}

void TFilterForm::EventOnSubnetComboChange(int /*index*/)
{
    if (m_Subnet->isChecked())
        EventOnSubnetClick();
}

void TFilterForm::EventOnCustomTextChange()
{
    // The edit being typed in keeps its text until it is left.
    EvaluateCustom(qobject_cast<QLineEdit*>(sender()));
}

void TFilterForm::EventOnCustomEditExit()
{
    if (m_Custom->isChecked())
        EvaluateCustom(nullptr);
}

void TFilterForm::EvaluateCustom(QLineEdit* typing)
{
    m_Edit = Filter::EvaluateCustom(Text(m_CustomIp), Text(m_CustomMask), m_CustomRange->isChecked(),
                                    Text(m_CustomBegin), Text(m_CustomEnd));
    WriteCustomEdits(typing);
}

void TFilterForm::WriteCustomEdits(QLineEdit* except)
{
    const std::pair<QLineEdit*, std::uint32_t> values[] = {
        {m_CustomIp, m_Edit.Address}, {m_CustomMask, m_Edit.Mask}, {m_CustomBegin, m_Edit.Begin},
        {m_CustomEnd, m_Edit.End}};
    for (const auto& [edit, value] : values) {
        if (edit == except)
            continue;
        QSignalBlocker block(edit);
        edit->setText(IpText(value));
    }
}

void TFilterForm::EventOnRemoteIpChange()
{
    const std::uint32_t address = Filter::ParseHostIp(Text(m_RemoteIp));
    m_RemoteIpEnd->setText(IpText(Filter::ProposeRangeEnd(address)));
}

std::uint32_t TFilterForm::RemoteRangeEnd() const
{
    return Filter::ParseHostIp(Text(m_RemoteIpEnd));
}

void TFilterForm::EventOnRemoteAddClick()
{
    const std::uint32_t address = Filter::ParseHostIp(Text(m_RemoteIp));
    if (address == 0) {
        ShowMessageBox(QMessageBox::Critical, tr("Invalid IP address!"), QMessageBox::Ok);
        return;
    }
    AddRemoteAddresses({address});
    UpdateRemoteButtons();
}

void TFilterForm::EventOnRemoteAddRangeClick()
{
    const std::uint32_t begin = Filter::ParseHostIp(Text(m_RemoteIp));
    const std::uint32_t end = RemoteRangeEnd();
    switch (Filter::CheckRange(begin, end)) {
    case Filter::rcInvalid:
        ShowMessageBox(QMessageBox::Critical, tr("Invalid IP range!"), QMessageBox::Ok);
        return;
    case Filter::rcTooMany:
        ShowMessageBox(QMessageBox::Critical,
                       tr("Too many addresses in range! At most %1 unicast discovery entries can be added at once.")
                           .arg(Filter::kRangeMaxAddresses),
                       QMessageBox::Ok);
        return;
    case Filter::rcConfirm:
        if (ShowMessageBox(QMessageBox::Question,
                           tr("You are going to add more then 64 unicast discovery entries, which might cause great "
                              "performance drop.") +
                               QStringLiteral("\n\n") + tr("Are you sure to do this?"),
                           QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
            return;
        break;
    case Filter::rcOk:
        break;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    std::vector<std::uint32_t> range;
    range.reserve(std::size_t(end - begin) + 1);
    for (std::uint64_t address = begin; address <= end; ++address)
        range.push_back(std::uint32_t(address));
    AddRemoteAddresses(range);
    QApplication::restoreOverrideCursor();
    UpdateRemoteButtons();
}

void TFilterForm::AddRemoteAddresses(const std::vector<std::uint32_t>& addresses)
{
    std::vector<std::uint32_t> fresh;
    fresh.reserve(addresses.size());
    m_RemoteAddresses.reserve(m_RemoteAddresses.size() + qsizetype(addresses.size()));
    for (std::uint32_t address : addresses) {
        if (m_RemoteAddresses.contains(address))
            continue;
        m_RemoteAddresses.insert(address);
        fresh.push_back(address);
    }
    // The routes in one pass; each interface's name once.
    std::vector<TRouteAnswer> routes;
    if (m_RouteLookup) {
        routes.resize(fresh.size());
        for (std::size_t i = 0; i < fresh.size(); ++i)
            routes[i].Found = m_RouteLookup(fresh[i], routes[i].Route);
    } else {
        routes = GetBestRoutes(fresh);
    }
    QHash<std::uint32_t, int> nameOf;  // by interface index, in names
    QStringList names;
    std::vector<TRemoteListModel::TNewRow> rows(fresh.size());
    for (std::size_t i = 0; i < fresh.size(); ++i) {
        TRemoteListModel::TNewRow& row = rows[i];
        row.Entry.Address = fresh[i];
        if (!routes[i].Found)
            continue;
        row.Entry.NextHop = routes[i].Route.NextHop;
        row.Entry.IfIndex = routes[i].Route.IfIndex;
        auto name = nameOf.find(row.Entry.IfIndex);
        if (name == nameOf.end()) {
            name = nameOf.insert(row.Entry.IfIndex, int(names.size()));
            names.push_back(getnetworkname(row.Entry.IfIndex));
        }
        row.Name = *name;
    }
    m_RemoteRows->Append(std::move(rows), names);
}

void TFilterForm::EventOnRemoteClearClick()
{
    m_RemoteRows->Clear();
    m_RemoteAddresses.clear();
    UpdateRemoteButtons();
}

void TFilterForm::EventOnRemoteDeleteClick()
{
    // All selected rows go in one change, which also ends the selection.
    std::vector<bool> doomed(std::size_t(m_RemoteRows->Count()));
    for (const QItemSelectionRange& range : m_RemoteList->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row) {
            doomed[std::size_t(row)] = true;
            m_RemoteAddresses.remove(m_RemoteRows->Entry(row).Address);
        }
    m_RemoteRows->Remove(doomed);
    UpdateRemoteButtons();
}

void TFilterForm::EventOnRemoteSelectionChange()
{
    UpdateRemoteButtons();
}

void TFilterForm::UpdateRemoteButtons()
{
    const bool custom = m_Custom->isChecked();
    m_RemoteClear->setEnabled(custom && m_RemoteRows->Count() > 0);
    m_RemoteDelete->setEnabled(custom && m_RemoteList->selectionModel()->hasSelection());
}

void TFilterForm::EventOnRemoteHeaderClick(int column)
{
    if (m_Sorted && column == m_SortColumn) {
        m_SortDirection = -m_SortDirection;
    } else {
        m_SortColumn = column;
        m_SortDirection = 1;
    }
    m_Sorted = true;
    const Qt::SortOrder order = m_SortDirection > 0 ? Qt::AscendingOrder : Qt::DescendingOrder;
    m_RemoteList->header()->setSortIndicatorShown(true);
    m_RemoteList->header()->setSortIndicator(column, order);
    m_RemoteRows->Sort(column, order);
}

void TFilterForm::EventOnRemoteClick()
{
    SetRemoteExpanded(!m_RemoteExpanded);
}

void TFilterForm::SetRemoteExpanded(bool expanded)
{
    m_RemoteExpanded = expanded;
    m_RemotePanel->setEnabled(expanded);
    m_RemotePanel->setVisible(expanded);
    m_Remote->setText(expanded ? tr("Re&mote <<") : tr("Re&mote >>"));
    if (!layout())
        return;
    // The panel's size is cached in the hints of the widgets around it.
    for (QWidget* around = m_RemotePanel->parentWidget(); around != this; around = around->parentWidget())
        around->updateGeometry();
    layout()->activate();
    const QSize size(std::max(expanded ? kUnfoldedWidth : kFoldedWidth, sizeHint().width()), sizeHint().height());
    ResizeOnScreen(this, size);
}

void TFilterForm::EventOnOkClick()
{
    if (m_Custom->isChecked())
        EvaluateCustom(nullptr);
    m_Settings.Method = m_Subnet->isChecked() ? Filter::fmSubnet
                        : m_Gateway->isChecked() ? Filter::fmGateway
                                                 : Filter::fmCustom;
    m_Settings.Address = m_Edit.Address;
    m_Settings.Mask = m_Edit.Mask;
    m_Settings.Begin = m_Edit.Begin;
    m_Settings.End = m_Edit.End;
    m_Settings.Unicasts.clear();
    m_Settings.Unicasts.reserve(std::size_t(m_RemoteRows->Count()));
    for (int i = 0; i < m_RemoteRows->Count(); ++i)
        m_Settings.Unicasts.push_back({m_RemoteRows->Entry(i).Address, 0xFFFFFFFFu});
    accept();
}
