#include "pages/system/Moduleadvcon.h"

#include "intp/Advanced.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace {

uint8_t Flag(const QCheckBox* box) { return box->isChecked() ? 1 : 0; }

// A check box with its label on the left.
QCheckBox* LeftLabelled(TPageForm& form, const char* label)
{
    return static_cast<QCheckBox*>(form.Field(label, new QCheckBox));
}

QComboBox* NoSelection(QComboBox* combo)
{
    combo->setCurrentIndex(-1); // until the first refill
    return combo;
}

QPushButton* ApplyAtTheTop(TPageForm& form)
{
    QPushButton* apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();
    return apply;
}

} // namespace

// ---------------------------------------------------------------------------

TModuleAdvConBSF::TModuleAdvConBSF(QWidget* parent) : TModulePage("Broadcast Storm Filter", parent)
{
    TPageForm form(this);
    form.Field(QString(), new QLabel("Filter Packet Type"));
    CheckBox1 = LeftLabelled(form, "Flooded Unicast/Multicast Packets");
    CheckBox2 = LeftLabelled(form, "Control Packets");
    CheckBox3 = LeftLabelled(form, "IP Multicast Packets");
    CheckBox4 = LeftLabelled(form, "Broadcast Packets");
    m_Enable = NoSelection(form.Choice("Filter Packet Type", {"Up to 1/2 of ingress rate", "Up to 1/4 of ingress rate",
                                                              "Up to 1/8 of ingress rate", "Up to 1/16 of ingress rate"}));
    m_Apply = ApplyAtTheTop(form);

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionAdvConBSFGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleAdvConBSF::Fill(Intp::TDevice* device)
{
    if (!device)
        return;
    const auto& record = Intp::Property<Intp::TPropertyAdvConBSF>::Get(device);
    if (!record.valid) {
        // The boxes keep what they showed.
        m_Enable->setCurrentIndex(0);
        return;
    }
    CheckBox1->setChecked(record.filterFlooded);
    CheckBox2->setChecked(record.filterControl);
    CheckBox3->setChecked(record.filterIpMulticast);
    CheckBox4->setChecked(record.filterBroadcast);
    SetChoice(m_Enable, int(record.rateLimit));
}

void TModuleAdvConBSF::EventOnApplyClick()
{
    // A rate without an item goes back as each switch has it.
    SendToEachTarget<Intp::TSessionAdvConBSFSet>([this](Intp::TSessionAdvConBSFSet& request, Intp::TDevice* target) {
        std::uint32_t rate = 0;
        if (QString why = ChoiceOrOwn(m_Enable->currentIndex(), target, &Intp::TPropertyAdvConBSF::rateLimit, rate);
            !why.isEmpty())
            return why;
        const uint8_t payload[5] = {Flag(CheckBox1), Flag(CheckBox2), Flag(CheckBox3), Flag(CheckBox4), uint8_t(rate)};
        request.SetPayload(payload);
        return QString();
    });
}

// ---------------------------------------------------------------------------

TModuleAgingTime::TModuleAgingTime(QWidget* parent) : TModulePage("Aging Time", parent)
{
    TPageForm form(this);
    m_Enable = NoSelection(form.Choice("Aging Time of MAC Table", {"OFF", "150 sec", "300 sec", "600 sec"}));
    ComboBox1 = NoSelection(form.Choice("Auto Flush MAC Table When Link Down", {"Disable", "Enable"}));
    m_Apply = ApplyAtTheTop(form);

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionAgingTimeGet>();
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleAgingTime::Fill(Intp::TDevice* device)
{
    if (!device)
        return;
    const auto& record = Intp::Property<Intp::TPropertyAgingTime>::Get(device);
    SetChoice(m_Enable, record.valid ? int(record.agingTime) : 0);
    ComboBox1->setCurrentIndex(record.valid && record.autoFlush ? 1 : 0);
}

void TModuleAgingTime::EventOnApplyClick()
{
    SendToEachTarget<Intp::TSessionAgingTimeSet>([this](Intp::TSessionAgingTimeSet& request, Intp::TDevice* target) {
        std::uint8_t aging = 0;
        if (QString why = ChoiceOrOwn(m_Enable->currentIndex(), target, &Intp::TPropertyAgingTime::agingTime, aging);
            !why.isEmpty())
            return why;
        const uint8_t payload[2] = {aging, uint8_t(ComboBox1->currentIndex() == 1 ? 1 : 0)};
        request.SetPayload(payload);
        return QString();
    });
}

// ---------------------------------------------------------------------------

TModuleJumboFrame::TModuleJumboFrame(QWidget* parent) : TModulePage("Jumbo Frame", parent)
{
    TPageForm form(this);
    CheckBox1 = LeftLabelled(form, "Enable Jumbo Frame");
    m_Apply = ApplyAtTheTop(form);

    SetHideWhileRefilling(false);
    AddRead<Intp::TSessionJumboFrameGet>();
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
