#pragma once

// "Rate Limit": per port, the ingress frames that are limited and the
// ingress and egress limits in kbps, edited row by row and sent whole.

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

class QPushButton;

class TModulePortLimit : public TModulePage {
    Q_OBJECT

public:
    using TEntry = Intp::TPropertyPortLimitEntry;
    // The highest rate the switches take (a giga-port's).
    static constexpr int MaxRate = 256000;

    explicit TModulePortLimit(QWidget* parent = nullptr);

    TTypedEditedList<TEntry>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
};
