#pragma once

// The file transfer pages (backup, restore, upgrade): the mode panel above
// the list, carried by the console itself (built-in) or by the switches and
// a TFTP server, and the start button, which is enabled when the chosen
// mode's input is complete and the listed switches can be served.

#include "pages/system/TransferPage.h"

#include <array>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

class TFileTransferPage : public TTransferPage {
    Q_OBJECT

public:
    // What a page of this kind shows and sends.
    struct TModes {
        QString openText = {};    // the path's button
        QString fieldText = {};   // label of the third row
        int fieldLength = 32;     // at most this many characters in it
        bool fieldIsTftp = true;  // the field is an input of TFTP mode (else of both)
        bool folder = false;      // the path names a folder (else a file)
        QString startText = {};
        const char* startGlyph = nullptr;
        QString rebootText = {};  // empty: no reboot button
        std::uint16_t buildinCode = 0;
        std::uint16_t tftpCode = 0;
        QString pathHint = {};   // why a start in built-in mode is off
        QString fieldHint = {};  // why a start with a server but no name is off
    };

    TFileTransferPage(const QString& caption, const TModes& modes, QWidget* parent = nullptr);

    void EventOnLocalClick(QRadioButton* sender);
    void EventOnServerIpChange();
    virtual void EventOnOpenClick() = 0;
    virtual void EventOnStartClick() = 0;
    void EventOnRebootClick();

    QWidget* m_TopPanel = nullptr;
    QRadioButton* m_rbLocal = nullptr;
    QPushButton* m_Open = nullptr;
    QRadioButton* m_rbRemote = nullptr;
    QLineEdit* m_ServerIp = nullptr;
    QWidget* m_ButtomPanel = nullptr;
    QPushButton* m_Reboot = nullptr;
    QPushButton* m_Start = nullptr;
    std::uint32_t m_ServerAddress = 0xFFFFFFFF;

protected:
    bool IsBuildin() const { return m_Mode.IsLocal(); }
    // Shows a chosen folder or file and decides the start button again.
    void ShowPath(const QString& path);
    // Why the listed switches can't be served together; empty when they can.
    virtual QString Refusal() const { return QString(); }

    void AfterFill(const std::vector<Intp::TDevice*>& listed) override;
    bool IsRunCode(std::uint16_t code) const override;
    void OnBusyChanged(bool busy) override;

    TTransferModePanel m_Mode;

private:
    void UpdateStart();
    QString WhyNoStart() const;
    // The controls of the mode panel, enabled only for listed switches that
    // can be served together.
    std::array<QWidget*, 8> ModeControls() const;

    TModes m_Modes;
    // The listed switches can be served (some are listed, no refusal).
    bool m_Usable = false;
};
