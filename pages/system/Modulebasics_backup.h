#pragma once

// "Backup": copies the configuration of every logged-in target switch into
// one file per switch, carried by the console itself (built-in) or stored by
// the switch on a TFTP server.

#include "pages/system/FileTransferPage.h"

#include <map>
#include <string>

class TModuleBasicsBackup : public TFileTransferPage {
    Q_OBJECT

public:
    explicit TModuleBasicsBackup(QWidget* parent = nullptr);

    // A folder confirmed in the folder chooser.
    void EventOnFolderChosen(const QString& folder);
    void EventOnOpenClick() override;
    void EventOnStartClick() override;
    void EventOnBackupClick() { EventOnStartClick(); }

    // File name of a row's backup in this run ("backup_192.168.1.10.bin").
    // A second switch with the same address gets its MAC address in place of
    // the address, so that no two switches write into one file.
    QString FileNameOf(Intp::TDevice* device);

    QLineEdit* m_LocalDir = nullptr;
    QLabel* m_Label1 = nullptr;
    QLabel* m_PrefixLabel = nullptr;
    QLineEdit* m_Prefix = nullptr;
    QPushButton* m_Backup = nullptr;

protected:
    TTransferOutcome Progress(std::uint16_t code, const void* context) const override;
    bool StartsNextAtOnce() const override;
    QString RunningText() const override { return "is reading the switches' configuration."; }
    int StartTransfers(int first) override;

private:
    int StartBuildinTransfers(int first);
    int StartTftpTransfers(int first);

    // File names taken in this run, by the switch (MAC text) that took them.
    std::map<QString, std::string> m_RunNames;
};
