#pragma once

// "Backup": copies the configuration of every logged-in target switch into
// one file per switch, carried by the console itself (built-in) or stored by
// the switch on a TFTP server.

#include "pages/system/TransferPage.h"

#include <map>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class TModuleBasicsBackup : public TTransferPage {
    Q_OBJECT

public:
    explicit TModuleBasicsBackup(QWidget* parent = nullptr);

    // A folder confirmed in the folder chooser.
    void EventOnFolderChosen(const QString& folder);
    void EventOnLocalClick(QRadioButton* sender);
    void EventOnServerIpChange();
    void EventOnOpenClick();
    void EventOnBackupClick();

    // File name of a row's backup in this run ("backup_192.168.1.10.bin").
    // A second switch with the same address gets its MAC address in place of
    // the address, so that no two switches write into one file.
    QString FileNameOf(Intp::TDevice* device);

    QWidget* m_TopPanel = nullptr;
    QRadioButton* m_rbLocal = nullptr;
    QLineEdit* m_LocalDir = nullptr;
    QPushButton* m_Open = nullptr;
    QRadioButton* m_rbRemote = nullptr;
    QLabel* m_Label1 = nullptr;
    QLineEdit* m_ServerIp = nullptr;
    QLabel* m_PrefixLabel = nullptr;
    QLineEdit* m_Prefix = nullptr;
    QWidget* m_ButtomPanel = nullptr;
    QPushButton* m_Backup = nullptr;
    std::uint32_t m_ServerAddress = 0xFFFFFFFF;

protected:
    void AfterFill(const std::vector<Intp::TDevice*>& listed) override;
    bool IsRunCode(std::uint16_t code) const override;
    TTransferOutcome Progress(std::uint16_t code, const void* context) const override;
    int StartTransfers(int first) override;
    bool StartsNextAtOnce() const override;
    void OnBusyChanged(bool busy) override;

private:
    bool IsBuildin() const;
    int StartBuildinTransfers(int first);
    int StartTftpTransfers(int first);

    // File names taken in this run, by the switch (MAC text) that took them.
    std::map<QString, std::string> m_RunNames;
};
