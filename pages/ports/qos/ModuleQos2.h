#pragma once

// "Traffic Prioritization" of the second generation: how the four queues
// are served.

#include "intp/Qos.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;

class TModuleQos2 : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleQos2(QWidget* parent = nullptr);

    QComboBox* m_Mode = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertyQos2> m_Fields;
};
