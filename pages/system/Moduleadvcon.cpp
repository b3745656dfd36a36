#include "pages/system/Moduleadvcon.h"

#include "intp/Advanced.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/SystemRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A grid of label and control rows with Apply below it, at the top left.
class TAdvForm {
public:
    explicit TAdvForm(TModulePage* page) : m_Page(page), m_Grid(new QGridLayout) {}

    QLabel* Label(const char* caption)
    {
        auto* label = new QLabel(caption, m_Page);
        m_Grid->addWidget(label, m_Row++, 0, 1, 2);
        return label;
    }
    template <class T>
    T* Row(const char* caption, T* control)
    {
        auto* label = new QLabel(caption, m_Page);
        label->setBuddy(control);
        m_Grid->addWidget(label, m_Row, 0);
        m_Grid->addWidget(control, m_Row++, 1);
        m_Controls.push_back(label);
        return control;
    }
    QComboBox* Choice(const char* caption, const QStringList& items)
    {
        auto* combo = new QComboBox(m_Page);
        combo->addItems(items);
        combo->setCurrentIndex(-1); // no selection until the first refill
        return Row(caption, combo);
    }
    QPushButton* Finish()
    {
        auto* apply = new QPushButton("&Apply", m_Page);
        apply->setDefault(true);
        LoadGlyph(apply, "RC_BITMAP_16X16_ACCEPT");
        auto* buttons = new QHBoxLayout;
        buttons->addStretch(1);
        buttons->addWidget(apply);
        auto* column = new QVBoxLayout;
        column->addLayout(m_Grid);
        column->addLayout(buttons);
        column->addStretch(1);
        auto* layout = new QHBoxLayout(m_Page);
        layout->addLayout(column);
        layout->addStretch(1);
        return apply;
    }
    const std::vector<QWidget*>& Labels() const { return m_Controls; }

private:
    TModulePage* m_Page;
    QGridLayout* m_Grid;
    int m_Row = 0;
    std::vector<QWidget*> m_Controls;
};

uint8_t Flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

} // namespace

// ---------------------------------------------------------------------------

TModuleAdvConBSF::TModuleAdvConBSF(QWidget* parent) : TModulePage("Broadcast Storm Filter", parent)
{
    TAdvForm form(this);
    QLabel* title = form.Label("Filter Packet Type");
    CheckBox1 = form.Row("Flooded Unicast/Multicast Packets", new QCheckBox(this));
    CheckBox2 = form.Row("Control Packets", new QCheckBox(this));
    CheckBox3 = form.Row("IP Multicast Packets", new QCheckBox(this));
    CheckBox4 = form.Row("Broadcast Packets", new QCheckBox(this));
    m_Enable = form.Choice("Filter Packet Type", {"Up to 1/2 of ingress rate", "Up to 1/4 of ingress rate",
                                                  "Up to 1/8 of ingress rate", "Up to 1/16 of ingress rate"});
    m_Apply = form.Finish();

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionAdvConBSFGet>();
    AddInputs({title, CheckBox1, CheckBox2, CheckBox3, CheckBox4, m_Enable, m_Apply});
    for (QWidget* label : form.Labels())
        AddInputs({label});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleAdvConBSF::Fill(Intp::TDevice* device)
{
    if (!device)
        return;
    const auto& record = Intp::Property<Intp::TPropertyAdvConBSF>::Get(device);
    if (!record.valid) {
        // The boxes keep what they showed.
        m_ReadRate = 0;
        m_Enable->setCurrentIndex(0);
        return;
    }
    CheckBox1->setChecked(record.filterFlooded);
    CheckBox2->setChecked(record.filterControl);
    CheckBox3->setChecked(record.filterIpMulticast);
    CheckBox4->setChecked(record.filterBroadcast);
    m_ReadRate = record.rateLimit;
    SetChoice(m_Enable, int(record.rateLimit));
}

void TModuleAdvConBSF::EventOnApplyClick()
{
    const uint8_t payload[5] = {Flag(CheckBox1), Flag(CheckBox2), Flag(CheckBox3), Flag(CheckBox4),
                                uint8_t(ChoiceToSend(m_Enable->currentIndex(), m_ReadRate))};
    SendToSelectedDevices<Intp::TSessionAdvConBSFSet>(
        [&](Intp::TSessionAdvConBSFSet& request) { request.SetPayload(payload); });
}

// ---------------------------------------------------------------------------

TModuleAgingTime::TModuleAgingTime(QWidget* parent) : TModulePage("Aging Time", parent)
{
    TAdvForm form(this);
    m_Enable = form.Choice("Aging Time of MAC Table", {"OFF", "150 sec", "300 sec", "600 sec"});
    ComboBox1 = form.Choice("Auto Flush MAC Table When Link Down", {"Disable", "Enable"});
    m_Apply = form.Finish();

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionAgingTimeGet>();
    AddInputs({m_Enable, ComboBox1, m_Apply});
    for (QWidget* label : form.Labels())
        AddInputs({label});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleAgingTime::Fill(Intp::TDevice* device)
{
    if (!device)
        return;
    const auto& record = Intp::Property<Intp::TPropertyAgingTime>::Get(device);
    m_ReadAging = record.valid ? record.agingTime : 0;
    SetChoice(m_Enable, int(m_ReadAging));
    ComboBox1->setCurrentIndex(record.valid && record.autoFlush ? 1 : 0);
}

void TModuleAgingTime::EventOnApplyClick()
{
    const uint8_t payload[2] = {uint8_t(ChoiceToSend(m_Enable->currentIndex(), m_ReadAging)),
                                uint8_t(ComboBox1->currentIndex() == 1 ? 1 : 0)};
    SendToSelectedDevices<Intp::TSessionAgingTimeSet>(
        [&](Intp::TSessionAgingTimeSet& request) { request.SetPayload(payload); });
}

// ---------------------------------------------------------------------------

TModuleJumboFrame::TModuleJumboFrame(QWidget* parent) : TModulePage("Jumbo Frame", parent)
{
    TAdvForm form(this);
    CheckBox1 = form.Row("Enable Jumbo Frame", new QCheckBox(this));
    m_Apply = form.Finish();

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionJumboFrameGet>();
    AddInputs({CheckBox1, m_Apply});
    for (QWidget* label : form.Labels())
        AddInputs({label});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleJumboFrame::Fill(Intp::TDevice* device)
{
    if (!device)
        return;
    const auto& record = Intp::Property<Intp::TPropertyJumboFrame>::Get(device);
    if (record.valid)
        CheckBox1->setChecked(record.enabled);
}

void TModuleJumboFrame::EventOnApplyClick()
{
    const uint8_t enabled = Flag(CheckBox1);
    SendToSelectedDevices<Intp::TSessionJumboFrameSet>(
        [&](Intp::TSessionJumboFrameSet& request) { request.SetPayload(&enabled); });
}

REGISTER_PAGE(TModuleAdvConBSF);
REGISTER_PAGE(TModuleAgingTime);
REGISTER_PAGE(TModuleJumboFrame);
