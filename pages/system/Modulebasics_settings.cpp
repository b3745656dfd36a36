#include "pages/system/Modulebasics_settings.h"

#include "intp/SystemSettings.h"
#include "intp/NetUtils.h"
#include "pages/kit/MessageBox.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"
#include "pages/rules/SystemRules.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TModuleBasicsSettings::TModuleBasicsSettings(QWidget* parent) : TModulePage("Switch Setting", parent)
{
    TPageForm form(this);
    auto* identity = new QWidget;
    m_Icon = new QLabel(identity);
    m_Icon->setPixmap(PageGlyph("RC_BITMAP_32X32_DEVICE").pixmap(32, 32));
    m_Icon->setCursor(Qt::PointingHandCursor);
    m_Icon->setToolTip("Open web");
    m_Icon->installEventFilter(this);
    m_Type = new QLineEdit(identity);
    m_Type->setReadOnly(true);
    m_Type->setFocusPolicy(Qt::NoFocus);
    auto* top = new QHBoxLayout(identity);
    top->setContentsMargins(0, 0, 0, 0);
    top->addWidget(m_Icon);
    top->addWidget(m_Type, 1);
    form.Field(QString(), identity);

    auto text = [&form](const char* label) {
        auto* value = static_cast<QLabel*>(form.Field(label, new QLabel));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        return value;
    };
    m_Name = form.Text("System &Name:");
    m_Location = form.Text("System &Location:");
    m_Contact = form.Text("System &Contact:");
    m_Desc = form.Text("System &Description:");
    for (QLineEdit* edit : {m_Name, m_Location, m_Contact, m_Desc})
        MakeSwitchText(edit, Intp::BasicsTextWidth);
    m_OID = text("System OID:");
    m_MAC = text("Device MAC:");
    m_FVer = text("Firmware Version:");
    m_KVer = text("Kernel Version:");
    m_HVer = text("Hardware Version:");
    m_Web = form.Button("&Web", "RC_BITMAP_16X16_INTERNET");
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();

    AddRead<Intp::TSessionBasicsSettingsGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    KeepWhenUnavailable({m_Icon, m_Web, m_Type, m_MAC});
    connect(m_Web, &QPushButton::clicked, this, [this] { EventOnWebClick(); });
}

void TModuleBasicsSettings::Fill(Intp::TDevice* device)
{
    for (QLineEdit* edit : {m_Type, m_Name, m_Location, m_Contact, m_Desc})
        edit->clear();
    for (QLabel* label : {m_OID, m_MAC, m_FVer, m_KVer, m_HVer})
        label->clear();
    if (!device)
        return;
    m_Type->setText(QString::fromStdString(device->GetTypeName()));
    m_MAC->setText(QString::fromStdString(device->GetMac().ToString()));
    const auto& record = Intp::Property<Intp::TPropertyBasicsSettings>::Get(device);
    if (!record.valid)
        return;
    m_Name->setText(SwitchText(device->GetName()));
    m_Location->setText(SwitchText(record.Location));
    m_Contact->setText(SwitchText(record.Contact));
    m_Desc->setText(SwitchText(record.Description));
    m_OID->setText(QStringLiteral("1.3.6.1.4.1.") + SwitchText(record.ObjectId));
    m_FVer->setText(QString::fromStdString(VersionText(record.FirmwareVersion)));
    m_KVer->setText(QString::fromStdString(VersionText(record.KernelVersion)));
    m_HVer->setText(QString::fromStdString(HardwareVersionText(record.HardwareVersion)));
}

void TModuleBasicsSettings::EventOnApplyClick()
{
    const std::string name = SwitchBytes(m_Name->text());
    const std::string location = SwitchBytes(m_Location->text());
    const std::string contact = SwitchBytes(m_Contact->text());
    const std::string description = SwitchBytes(m_Desc->text());
    SendToSelectedDevices<Intp::TSessionBasicsSettingsSet>([&](Intp::TSessionBasicsSettingsSet& request) {
        request.SetPayload(name, description, location, contact);
    });
}

void TModuleBasicsSettings::EventOnWebClick()
{
    for (Intp::TDevice* device : TargetDevices()) {
        // Without a browser the user is told once, not once per switch.
        if (!OpenWebPage(QUrl(QStringLiteral("http://") + IpText(device->GetIp())), m_WebOpener))
            break;
    }
}

bool TModuleBasicsSettings::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_Icon && event->type() == QEvent::MouseButtonRelease && m_Icon->isEnabled())
        EventOnWebClick();
    return TModulePage::eventFilter(watched, event);
}

REGISTER_PAGE(TModuleBasicsSettings);
