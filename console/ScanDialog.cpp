#include "console/ScanDialog.h"

#include "console/FilterForm.h"
#include "pages/kit/MessageBox.h"
#include "pages/kit/PageWidgets.h"
#include "syslog/SyslogText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QHideEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

TScanForm::TScanForm(QWidget* parent) : QDialog(parent), m_AdapterSource(&FindScanAdapters)
{
    setWindowTitle(tr("Scan Devices ..."));
    auto* tabs = new QTabWidget(this);
    auto* general = new QWidget(tabs);
    tabs->addTab(general, tr("&General"));

    m_Interfaces = new QComboBox(general);
    m_Interfaces->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* interfacesLabel = new QLabel(tr("&Interfaces:"), general);
    interfacesLabel->setBuddy(m_Interfaces);
    m_IpLabel = new QLabel(tr("IP Address:"), general);
    m_IpAddress = new QLabel(general);
    m_IpAddress->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_Promiscuous = new QCheckBox(tr("Capture packets in &promiscuous mode"), general);
    auto* capture = new QFormLayout;
    capture->addRow(interfacesLabel, m_Interfaces);
    capture->addRow(m_IpLabel, m_IpAddress);
    capture->addRow(m_Promiscuous);

    m_ListView = new QTreeWidget(general);
    m_ListView->setRootIsDecorated(false);
    m_ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ListView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_ListView->setHeaderLabels({QString(), tr("MAC Address"), tr("IP Address")});
    m_ListView->header()->setStretchLastSection(true);
    m_ListView->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_ListView->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    auto* page = new QVBoxLayout(general);
    page->addWidget(BoldLabel(tr("Capture:"), general));
    page->addLayout(capture);
    page->addWidget(BoldLabel(tr("Devices:"), general));
    page->addWidget(m_ListView, 1);
    m_State = new QLabel(general);
    m_State->setWordWrap(true);
    m_State->setTextInteractionFlags(Qt::TextSelectableByMouse);
    page->addWidget(m_State);

    m_Scan = new QPushButton(Syslog::SyslogGlyph("RC_BITMAP_16X16_REFRESH"), tr("&Scan"), this);
    m_Scan->setDefault(true);
    m_Close = new QPushButton(Syslog::SyslogGlyph("RC_BITMAP_16X16_EXIT"), tr("&Close"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_Scan);
    buttons->addWidget(m_Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(buttons);

    connect(m_Interfaces, &QComboBox::activated, this, &TScanForm::EventOnInterfacesChange);
    connect(m_Scan, &QPushButton::clicked, this, &TScanForm::EventOnScanClick);
    connect(m_Close, &QPushButton::clicked, this, &QDialog::reject);

    // Replies come from the capture thread; they are queued to this thread
    // and never block it, so joining it can't wait on us.
    m_Thread = std::make_unique<TWinpcapThread>([this](const Intp::TScanFrame& reply, unsigned generation) {
        QMetaObject::invokeMethod(this, [this, reply, generation] { Deliver(reply, generation); },
                                  Qt::QueuedConnection);
    });
    m_Thread->SetEndedHandler([this](unsigned generation, const std::string& reason) {
        QMetaObject::invokeMethod(
            this, [this, generation, text = QString::fromStdString(reason)] { CaptureEnded(generation, text); },
            Qt::QueuedConnection);
    });
    EventOnInterfacesChange(-1);
    resize(sizeHint().expandedTo(QSize(420, 360)));
}

TScanForm::~TScanForm()
{
    // Join the thread while the dialog is whole; queued replies die with it.
    m_Thread.reset();
}

QString TScanForm::StartErrorText(int result, const QString& adapter, const QString& detail, bool permission)
{
    QString text;
    switch (result) {
    case srStarted:
        return QString();
    case srNoAdapter:
        return tr("Invalid interface");
    case srNoMac:
        return tr("Unable to get a valid MAC address from interface %1").arg(adapter);
    case srNoIp:
        return tr("Unable to get a valid IP address from interface %1").arg(adapter);
    case srOpenFailed:
        text = tr("Unable to open the adapter. %1 is not supported by libpcap").arg(adapter);
        break;
    default:
        text = tr("Error sending the packet: %1").arg(adapter);
        break;
    }
    if (!detail.isEmpty())
        text += QStringLiteral("\n") + tr("libpcap: %1").arg(detail);
    if (permission)
        text += QStringLiteral("\n") +
                tr("Capturing needs the CAP_NET_RAW capability: run the console as root or grant it with setcap.");
    return text;
}

void TScanForm::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // A window system's own show (restoring from minimised) keeps the scan as it is.
    if (event->spontaneous())
        return;
    m_Adapters = m_AdapterSource ? m_AdapterSource() : std::vector<TScanAdapter>();
    QSignalBlocker block(m_Interfaces);
    m_Interfaces->clear();
    for (const TScanAdapter& adapter : m_Adapters) {
        QString line = QString::fromStdString(adapter.Name);
        if (!adapter.Description.empty())
            line += QStringLiteral(" : ") + QString::fromStdString(adapter.Description);
        m_Interfaces->addItem(line);
    }
    // The first line shows, but only a pick sets the adapter to scan on.
    m_Interfaces->setCurrentIndex(m_Adapters.empty() ? -1 : 0);
}

void TScanForm::hideEvent(QHideEvent* event)
{
    if (event->spontaneous()) {
        QDialog::hideEvent(event);
        return;
    }
    m_Thread->StopScan();
    m_Generation = m_Thread->Generation();
    m_ListView->clear();
    m_State->clear();
    m_Adapters.clear();
    {
        QSignalBlocker block(m_Interfaces);
        m_Interfaces->clear();
    }
    EventOnInterfacesChange(-1);
    QDialog::hideEvent(event);
}

void TScanForm::EventOnInterfacesChange(int index)
{
    m_Selected = index >= 0 && std::size_t(index) < m_Adapters.size() ? index : -1;
    QString addresses;
    if (m_Selected >= 0) {
        for (std::uint32_t address : m_Adapters[std::size_t(m_Selected)].Ipv4)
            addresses += IpText(address) + QStringLiteral(", ");
    }
    m_IpAddress->setText(addresses);
    const bool selected = m_Selected >= 0;
    for (QWidget* widget : {static_cast<QWidget*>(m_IpLabel), static_cast<QWidget*>(m_IpAddress),
                            static_cast<QWidget*>(m_Promiscuous), static_cast<QWidget*>(m_Scan)})
        widget->setEnabled(selected);
}

void TScanForm::EventOnScanClick()
{
    m_ListView->clear();
    m_State->clear();
    const TScanAdapter* adapter = m_Selected >= 0 ? &m_Adapters[std::size_t(m_Selected)] : nullptr;
    m_AdapterName = adapter ? QString::fromStdString(adapter->Name) : QString();
    const int result = m_Thread->StartScan(adapter, m_Promiscuous->isChecked());
    m_Generation = m_Thread->Generation();
    if (result != srStarted)
        ShowError(StartErrorText(result, adapter ? QString::fromStdString(adapter->Name) : QString(),
                                 QString::fromStdString(m_Thread->LastError()), m_Thread->LastErrorIsPermission()));
}

void TScanForm::Deliver(const Intp::TScanFrame& reply, unsigned generation)
{
    if (generation == m_Generation && isVisible())
        AddScanReply(reply);
}

void TScanForm::CaptureEnded(unsigned generation, const QString& reason)
{
    if (generation != m_Generation || !isVisible())
        return;
    QString text = tr("The adapter %1 went down: the scan has ended. Press Scan to scan again.").arg(m_AdapterName);
    if (!reason.isEmpty())
        text += QStringLiteral("\n") + tr("libpcap: %1").arg(reason);
    m_State->setText(text);
}

void TScanForm::AddScanReply(const Intp::TScanFrame& reply)
{
    const Intp::TScanReply read = Intp::ReadScanReply(reply);
    auto* row = new QTreeWidgetItem(m_ListView);
    row->setText(0, QString::number(m_ListView->topLevelItemCount()));
    row->setText(1, QString::fromStdString(read.Mac.ToString()));
    row->setText(2, IpText(read.Ip));
}
