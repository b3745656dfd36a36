#pragma once

// "IGMP Snooping" of both generations: snooping on or off and the query
// mode; the second generation adds the last-member query count and
// interval.

#include "intp/Igmp.h"
#include "pages/kit/FieldBinding.h"
#include "pages/kit/ModulePage.h"

class QComboBox;
class QPushButton;
class TNumberBox;

class TModuleIgmp : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleIgmp(QWidget* parent = nullptr);

    QComboBox* m_Snooping = nullptr;
    QComboBox* m_QueryMode = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertyIgmp> m_Fields;
};

class TModuleIgmp2 : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleIgmp2(QWidget* parent = nullptr);

    QComboBox* m_Snooping = nullptr;
    QComboBox* m_QueryMode = nullptr;
    QComboBox* m_QueryCount = nullptr;
    TNumberBox* m_QueryInterval = nullptr; // tenths of a second
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    TFieldBinding<Intp::TPropertyIgmp2> m_Fields;
};
