#pragma once

// "Port Mirroring", first generation: destination ports for transmitted
// and received traffic, and per port whether each direction is copied.

#include "intp/Monitor.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

class QCheckBox;
class QComboBox;
class QPushButton;

class TModuleMonitorMirror : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        std::uint32_t port = 0;
        bool tx = false;
        bool rx = false;
    };

    explicit TModuleMonitorMirror(QWidget* parent = nullptr);

    QComboBox* m_DestTx = nullptr;
    QComboBox* m_DestRx = nullptr;
    TTypedEditedList<TRow>* m_ListView = nullptr;
    QCheckBox* m_SrcTx = nullptr;
    QCheckBox* m_SrcRx = nullptr;
    QPushButton* m_Apply = nullptr;
    QPushButton* m_Clear = nullptr;

    void EventOnApplyClick();
    void EventOnClearClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    int m_TxColumn = -1, m_RxColumn = -1;
};
