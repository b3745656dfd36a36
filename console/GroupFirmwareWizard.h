#pragma once

// "Group Firmware Update": switches of one model upgraded in one pass, from
// an image file that the console sends to each of them itself, or from a
// TFTP server that each switch fetches from; every upgrade starts at once
// and each row shows its progress.

#include "console/GroupWizard.h"
#include "pages/system/TransferPage.h"

#include <functional>

class QFileDialog;

// Step 2 of the wizard: the upgrade method and one transfer row per switch.
class TGroupFwPreview : public TTransferPage {
    Q_OBJECT

public:
    explicit TGroupFwPreview(QWidget* parent = nullptr);

    bool IsBuildin() const;
    // The method's input is complete: an existing file, or a server address
    // and a file name.
    bool IsReady() const;
    // What the method's input lacks.
    QString WhyNotReady() const;
    // Starts the upgrade of every row at once, from the last row up; answers
    // how many started (0 also when the image is too large to send).
    int Upgrade();

    // The model the image is chosen for: a row whose switch is of another
    // model by now is marked an error, never sent the image.
    void SetModel(std::uint32_t model) { m_Model = model; }

    // Called when readiness or the run changes.
    void SetChangeHandler(std::function<void()> changed) { m_Changed = std::move(changed); }

    void EventOnModeClick();
    void EventOnFileChosen(const QString& file);
    void EventOnOpenClick();

    TTransferModePanel m_Mode;
    QFileDialog* m_OpenDialog = nullptr;

protected:
    void AfterFill(const std::vector<Intp::TDevice*>&) override {}
    bool IsRunCode(std::uint16_t code) const override;
    TTransferOutcome Progress(std::uint16_t code, const void* context) const override;
    int StartTransfers(int first) override;
    void OnBusyChanged(bool busy) override;
    QString RunningText() const override;

private:
    void Changed();

    std::function<void()> m_Changed;
    std::uint32_t m_Model = 0;
};

class TWizardGroupFwFrame : public TGroupWizardFrame {
    Q_OBJECT

public:
    enum TPickColumn { kcModel, kcKernel, kcFirmware, kcMac, kcIp };

    explicit TWizardGroupFwFrame(QWidget* parent = nullptr);

    QString GetCaption() const override;
    // The upgrades report to the preview; this forwards what reaches the page.
    void OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context) override;

    TGroupFwPreview* m_Step2Preview = nullptr;

protected:
    TWizardDevices Step1Devices() override;
    void EnterStep2(const TWizardDevices& chosen) override;
    void Start() override;
    bool IsRunning() const override;
    bool CanStart() const override;
    QString StartText() const override;
    QString WhyNoStart() const override;
};
