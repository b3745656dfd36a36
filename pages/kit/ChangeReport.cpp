#include "pages/kit/ChangeReport.h"

#include "pages/kit/AddressText.h"
#include "pages/rules/PageRules.h"

#include <QObject>
#include <QTimer>

#include <algorithm>

TChangeReport::TChangeReport(QObject* context, TStarted started, TTell tell)
    : m_Context(context), m_StartedTell(std::move(started)), m_Tell(std::move(tell))
{
}

QString TChangeReport::DeviceText(const Intp::TDevice* device)
{
    if (!device)
        return QString();
    const QString mac = QString::fromStdString(device->GetMac().ToString());
    return device->GetIp() ? QString("%1 (%2)").arg(IpText(device->GetIp()), mac) : mac;
}

QString TChangeReport::StatusReason(std::uint16_t status)
{
    switch (status) {
    case Intp::ssOk: return QString();
    case Intp::ssShortReply: return "the switch's reply was too short";
    case Intp::ssNotLoggedIn: return "the switch refused: not logged in";
    // Which check gives which of the three differs between families.
    case Intp::ssBadReply: return "the switch's reply did not fit its model (a wrong length, count or value)";
    case Intp::ssBadValue: return "the switch's reply held a count or value out of range";
    case Intp::ssBadEntry: return "the switch's reply held an empty, overlapping or duplicate entry";
    case Intp::ssTimeout: return "the switch did not answer";
    default: return QString("the switch refused (code %1)").arg(status);
    }
}

TChangeReport::TBatch& TChangeReport::Open()
{
    if (m_Batches.empty() || m_Batches.back().sealed) {
        // Switches a discovery took away since the last click answer no more.
        Prune();
        m_Batches.emplace_back();
        // What one click sends is one batch.
        QTimer::singleShot(0, m_Context, [this] { Seal(); });
    }
    return m_Batches.back();
}

void TChangeReport::Started(Intp::TDevice* device, std::uint16_t code)
{
    TBatch& batch = Open();
    const bool known = std::any_of(batch.pending.begin(), batch.pending.end(),
                                   [&](const TPending& p) { return p.mac == device->GetMac(); });
    batch.targets += known ? 0 : 1;
    batch.pending.push_back({device->GetMac(), code, DeviceText(device)});
}

void TChangeReport::NotSent(Intp::TDevice* device, const QString& reason)
{
    TBatch& batch = Open();
    ++batch.targets;
    batch.failed << QString("%1: not changed, %2").arg(DeviceText(device), reason);
}

void TChangeReport::OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void*)
{
    if (!device)
        return;
    TBatch* batch = nullptr;
    const auto it = FindOutcome(device, code, batch);
    if (batch) {
        if (status != Intp::ssOk)
            batch->failed << QString("%1: %2").arg(DeviceText(device), StatusReason(status));
        batch->pending.erase(it);
    }
    Finish();
}

std::vector<TChangeReport::TPending>::iterator TChangeReport::FindOutcome(const Intp::TDevice* device,
                                                                          std::uint16_t code, TBatch*& batch)
{
    // A request tells its outcome once, under its own code or under the code
    // of the read it starts (table entries): the same code first, else the
    // switch's oldest change still waiting.
    const Intp::TMacAddr mac = device->GetMac();
    for (const bool sameCode : {true, false}) {
        for (TBatch& each : m_Batches) {
            auto it = std::find_if(each.pending.begin(), each.pending.end(), [&](const TPending& p) {
                return p.mac == mac && (!sameCode || p.code == code);
            });
            if (it != each.pending.end()) {
                batch = &each;
                return it;
            }
        }
    }
    batch = nullptr;
    return {};
}

void TChangeReport::Prune()
{
    for (TBatch& batch : m_Batches) {
        std::erase_if(batch.pending, [&](const TPending& p) {
            if (Intp::FindDevice(p.mac, false))
                return false;
            batch.failed << QString("%1: left the device list before it answered").arg(p.name);
            return true;
        });
    }
    Finish();
}

void TChangeReport::Seal()
{
    for (TBatch& batch : m_Batches)
        batch.sealed = true;
    Finish();
}

int TChangeReport::Waiting() const
{
    std::vector<Intp::TMacAddr> macs;
    for (const TBatch& batch : m_Batches) {
        for (const TPending& p : batch.pending) {
            if (batch.sealed && std::find(macs.begin(), macs.end(), p.mac) == macs.end())
                macs.push_back(p.mac);
        }
    }
    return int(macs.size());
}

QString Counted(qint64 count, const char* one, const char* many)
{
    return QString::fromLatin1(CountText(count, one, many));
}

namespace {

QString Switches(int count) { return Counted(count, "switch", "switches"); }

}  // namespace

QString TChangeReport::Summary(int targets, int notChanged)
{
    if (notChanged == 0)
        return targets == 1 ? QString("Changed.") : QString("Changed on %1.").arg(Switches(targets));
    if (notChanged >= targets)
        return QString("Not changed on %1.").arg(Switches(targets));
    return QString("Changed on %1 of %2 switches.").arg(targets - notChanged).arg(targets);
}

void TChangeReport::Finish()
{
    bool told = false;
    while (!m_Batches.empty() && m_Batches.front().sealed && m_Batches.front().pending.empty()) {
        const TBatch batch = std::move(m_Batches.front());
        m_Batches.pop_front();
        if (m_Tell)
            m_Tell(Summary(batch.targets, int(batch.failed.size())), batch.failed);
        told = true;
    }
    // Until the last switch answers or times out, the page says it waits.
    const int waiting = Waiting();
    if (waiting > 0 && (waiting != m_Waiting || told) && m_StartedTell)
        m_StartedTell(QString("Waiting for %1 to answer...").arg(Switches(waiting)));
    m_Waiting = waiting;
}
