#pragma once

// "Port Auth": the 802.1X authorize mode of every port of the current
// switch, edited row by row and sent whole with one Apply.

#include "intp/Dot1x.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedEditedList.h"

class QPushButton;

class TModuleSecurity8021xPort : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleSecurity8021xPort(QWidget* parent = nullptr);

    TTypedEditedList<Intp::TPropertySecurity8021xPortEntry>* m_ListView = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;
};
