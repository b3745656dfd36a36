#pragma once

// "Save To Flash": asks every logged-in target switch to write its running
// configuration into its flash memory, and shows each outcome.

#include "pages/system/TransferPage.h"

class QPushButton;
class QWidget;

class TModuleSave : public TTransferPage {
    Q_OBJECT

public:
    explicit TModuleSave(QWidget* parent = nullptr);

    void EventOnSaveClick();

    QWidget* m_BottomPanel = nullptr;
    QPushButton* m_Save = nullptr;

protected:
    void AfterFill(const std::vector<Intp::TDevice*>& listed) override;
    bool IsRunCode(std::uint16_t code) const override;
    TTransferOutcome Progress(std::uint16_t code, const void* context) const override;
    int StartTransfers(int first) override;
    void OnBusyChanged(bool busy) override;
    QString RunningText() const override { return "is having the switches write their configuration to flash."; }
};
