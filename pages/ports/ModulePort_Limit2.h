#pragma once

// "Rate Limiting": an in rate and an out rate per listed port; Apply sends one
// entry per port, a hidden port's as read.

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

class QPushButton;

class TModulePortLimit2 : public TModulePage {
    Q_OBJECT

public:
    using TEntry = Intp::TPropertyPortLimit2Entry;

    explicit TModulePortLimit2(QWidget* parent = nullptr);

    TTypedEditedList<TEntry>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
};
