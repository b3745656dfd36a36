#pragma once

// "Port Configuration": the state, speed and duplex, flow control and port
// security of every port and trunk group, edited row by row and sent whole.

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

class QPushButton;

class TModulePortConfig : public TModulePage {
    Q_OBJECT

public:
    using TEntry = Intp::TPropertyPortConfigEntry;

    explicit TModulePortConfig(QWidget* parent = nullptr);

    TTypedEditedList<TEntry>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
};
