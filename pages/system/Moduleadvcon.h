#pragma once

// Advanced configuration pages: the broadcast storm filter, the MAC table's
// aging time and jumbo frames. Each shows one record and writes it back.

#include "pages/kit/ModulePage.h"

class QCheckBox;
class QComboBox;
class QPushButton;

class TModuleAdvConBSF : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleAdvConBSF(QWidget* parent = nullptr);

    QCheckBox* CheckBox1 = nullptr; // flooded unicast/multicast
    QCheckBox* CheckBox2 = nullptr; // control packets
    QCheckBox* CheckBox3 = nullptr; // IP multicast
    QCheckBox* CheckBox4 = nullptr; // broadcast
    QComboBox* m_Enable = nullptr;  // rate
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnApplyClick();
};

class TModuleAgingTime : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleAgingTime(QWidget* parent = nullptr);

    QComboBox* m_Enable = nullptr;   // aging time
    QComboBox* ComboBox1 = nullptr;  // auto flush
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnApplyClick();
};

class TModuleJumboFrame : public TModulePage {
    Q_OBJECT

public:
    explicit TModuleJumboFrame(QWidget* parent = nullptr);

    QCheckBox* CheckBox1 = nullptr;
    QPushButton* m_Apply = nullptr;

protected:
    void Fill(Intp::TDevice* device) override;

private:
    void EventOnApplyClick();
};
