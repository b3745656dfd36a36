#pragma once

// "Traffic Prioritization": the queue scheduling scheme (weighted fair
// queuing or strict priority) and what decides a frame's priority.

#include "intp/Qos.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QPushButton;

class TModuleQos : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleQos(QWidget* parent = nullptr);

    QButtonGroup* m_Policy = nullptr;  // button id = scheme
    QAbstractButton* m_Weighted = nullptr;
    QAbstractButton* m_Strict = nullptr;
    QComboBox* m_Mode = nullptr;
    QPushButton* m_Apply = nullptr;

    void EventOnApplyClick();

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertyQos> m_Fields;
};
