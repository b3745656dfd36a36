#include "console/GroupFirmwareWizard.h"

#include "intp/NetUtils.h"
#include "intp/Transfer.h"
#include "pages/kit/MessageBox.h"
#include "pages/system/UploadPage.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

// ---------------------------------------------------------------------------
// TGroupFwPreview

TGroupFwPreview::TGroupFwPreview(QWidget* parent) : TTransferPage(tr("Group Firmware Update"), 5, parent)
{
    m_Mode = MakeModePanel(tr("&Open"), tr("&Filename:"));
    m_Mode.serverLabel->setText(tr("&Server:"));
    // The switch takes at most 32 bytes of the name: a longer one would name another file.
    m_Mode.LimitField(int(sizeof(Intp::TTftpParam::name)));
    LayOut(m_Mode.panel);
    // Each row's image is its state; the rows carry no state text.
    m_ListView->setColumnHidden(tcStatus, true);

    connect(m_Mode.local, &QRadioButton::clicked, this, [this] { EventOnModeClick(); });
    connect(m_Mode.remote, &QRadioButton::clicked, this, [this] { EventOnModeClick(); });
    connect(m_Mode.open, &QPushButton::clicked, this, [this] { EventOnOpenClick(); });
    connect(m_Mode.server, &QLineEdit::textChanged, this, [this] { Changed(); });
    connect(m_Mode.field, &QLineEdit::textChanged, this, [this] { Changed(); });
    m_Mode.local->setChecked(true);
    m_Mode.ShowMethod();
}

bool TGroupFwPreview::IsBuildin() const { return m_Mode.IsLocal(); }

bool TGroupFwPreview::IsReady() const { return RowCount() != 0 && m_Mode.IsReady(); }

QString TGroupFwPreview::WhyNotReady() const
{
    if (m_Mode.IsLocal())
        return tr("Choose an existing image file with Open.");
    if (!IsValidHostIp(m_Mode.Server()))
        return NoServerText();
    return tr("Enter the image's file name on the TFTP server (at most 32 Latin-1 characters).");
}

void TGroupFwPreview::Changed()
{
    if (m_Changed)
        m_Changed();
}

void TGroupFwPreview::EventOnModeClick()
{
    m_Mode.ShowMethod();
    Changed();
}

void TGroupFwPreview::EventOnFileChosen(const QString& file)
{
    m_Mode.path->setText(file);
    Changed();
}

void TGroupFwPreview::EventOnOpenClick()
{
    // Made when first asked for (a file dialog reads the file system).
    if (!m_OpenDialog) {
        m_OpenDialog = new QFileDialog(this, tr("Open"));
        m_OpenDialog->setFileMode(QFileDialog::ExistingFile);
        m_OpenDialog->setOption(QFileDialog::ReadOnly);
    }
    if (m_OpenDialog->exec() == QDialog::Accepted && !m_OpenDialog->selectedFiles().isEmpty())
        EventOnFileChosen(m_OpenDialog->selectedFiles().constFirst());
}

int TGroupFwPreview::Upgrade()
{
    if (IsBusy() || RowCount() == 0)
        return 0;
    // An image that went after it was chosen fails each row's open: every
    // row is marked an error rather than nothing happening.
    if (IsBuildin() ? m_Mode.path->text().isEmpty() : !m_Mode.IsReady())
        return 0;
    if (IsBuildin() && UploadImageBlocks(m_Mode.path->text(), [](const QString& why) { ShowError(why); }) == 0)
        return 0;
    return StartRun();
}

bool TGroupFwPreview::IsRunCode(std::uint16_t code) const
{
    return code == (IsBuildin() ? Intp::ccBasicsUpgradeBuildin : Intp::ccBasicsUpgradeTftp);
}

TTransferOutcome TGroupFwPreview::Progress(std::uint16_t, const void* context) const
{
    return UploadOutcome(IsBuildin(), context);
}

int TGroupFwPreview::StartTransfers(int)
{
    const TMakeRequest make =
        UploadRequests<Intp::TSessionBasicsUpgradeBuildin, Intp::TSessionBasicsUpgradeTftp>(m_Mode);
    std::vector<Intp::TMacAddr> otherModel;
    // Every row at once, from the last to the first.
    const int started = StartRows(
        RowCount() - 1, 0, tr("Transmitting"),
        [&](Intp::TDevice* device, bool& prepared) {
            Intp::TSession* request = make(device, prepared);
            if (device->GetType() != m_Model) {
                otherModel.push_back(device->GetMac());
                prepared = false;
            }
            return request;
        },
        true);
    for (const Intp::TMacAddr& mac : otherModel)
        SetRow(FindRow(mac), QString(), tsError);
    return started;
}

QString TGroupFwPreview::RunningText() const { return UploadRunningText(); }

void TGroupFwPreview::OnBusyChanged(bool busy)
{
    m_Mode.panel->setEnabled(!busy);
    Changed();
}

// ---------------------------------------------------------------------------
// TWizardGroupFwFrame

TWizardGroupFwFrame::TWizardGroupFwFrame(QWidget* parent)
    : TGroupWizardFrame(tr("Group Firmware Update Wizard"),
                        {tr("This wizard helps you to update firmware for a group of devices."),
                         tr("STEP 1. Select one or more devices to be configured."),
                         tr("STEP 2. Select the upgrade method, local firmware image or remote tftp server."),
                         tr("STEP 3. Apply to upgrade selected firmware")},
                        tr("Select the upgrade method, local firmware image or remote tftp server."),
                        {tr("Model"), tr("Kernel Ver."), tr("Firmware Ver."), tr("MAC"), tr("IP")}, parent)
{
    m_Step2Preview = new TGroupFwPreview(this);
    m_Step2Preview->m_Mode.local->setText(tr("Use &build-in support:"));
    m_Step2Preview->SetChangeHandler([this] { UpdateButtons(); });
    SetStep2Panel(m_Step2Preview);

    // One image for one model.
    m_Picker->SetSelectCheck([](const TWizardDevices& selected, const TWizardDevices& moving) {
        const std::uint32_t model = !selected.empty() ? selected.front().model : moving.front().model;
        for (const TWizardDevice& device : moving) {
            if (device.model != model) {
                ShowError(tr("You cannot select devices of different model!"));
                return false;
            }
        }
        return true;
    });
}

QString TWizardGroupFwFrame::GetCaption() const { return tr("Group Firmware Update"); }

QString TWizardGroupFwFrame::StartText() const { return tr("&Upgrade"); }

QString TWizardGroupFwFrame::WhyNoStart() const { return m_Step2Preview->WhyNotReady(); }

void TWizardGroupFwFrame::OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status,
                                        const void* context)
{
    m_Step2Preview->OnWizardEvent(device, code, status, context);
}

TWizardDevices TWizardGroupFwFrame::Step1Devices()
{
    TWizardDevices devices;
    for (Intp::TDevice* device : ListedDevices()) {
        if (device && device->IsLoggedIn())
            devices.push_back({device->GetMac(), device->GetType(), TTransferRow::Of(device).Cells()});
    }
    return devices;
}

void TWizardGroupFwFrame::EnterStep2(const TWizardDevices& chosen)
{
    std::vector<TTransferRow> rows;
    for (const TWizardDevice& device : chosen)
        rows.push_back(TTransferRow::Of(device.mac, device.cells));
    m_Step2Preview->SetRows(rows);
    // The picker lets only switches of one model through.
    m_Step2Preview->SetModel(chosen.empty() ? 0 : chosen.front().model);
    m_Step2Preview->EventOnModeClick();
}

void TWizardGroupFwFrame::Start() { m_Step2Preview->Upgrade(); }

bool TWizardGroupFwFrame::IsRunning() const { return m_Step2Preview->IsBusy(); }

bool TWizardGroupFwFrame::CanStart() const { return m_Step2Preview->IsReady(); }
