#include "intp/Session.h"

#include <algorithm>
#include <array>
#include <functional>

#include "intp/KeyTable.h"
#include "intp/Operations.h"

namespace Intp {

namespace {

TSessionCallback* g_SessionCallback = nullptr;

// A request's code and target MAC as one key.
uint64_t MatchKey(uint16_t code, const TMacAddr& mac) { return uint64_t(code) << 48 | mac.Key(); }

// Requests of one key in start order; sequence numbers only grow, so a new
// request is always appended. Replies mostly end the oldest, which is kept
// beside the key in the index (most keys have one request outstanding: no
// allocation and no further line to read). The rest wait in a vector whose
// dropped start is compacted once half of it is dropped, rather than moving
// every entry on each reply.
class TOrdered {
public:
    using TEntry = std::pair<uint64_t, TSession*>;

    bool empty() const { return m_First.second == nullptr; }
    size_t size() const { return empty() ? 0 : 1 + m_Rest.size() - m_Head; }
    const TEntry& front() const { return m_First; }
    void push_back(uint64_t seq, TSession* session) {
        if (empty()) m_First = {seq, session};
        else m_Rest.emplace_back(seq, session);
    }
    // The entry of seq, or null.
    const TEntry* Find(uint64_t seq) const {
        if (empty()) return nullptr;
        if (m_First.first == seq) return &m_First;
        auto it = std::lower_bound(Rest(), m_Rest.end(), seq, [](const TEntry& e, uint64_t s) { return e.first < s; });
        return it != m_Rest.end() && it->first == seq ? &*it : nullptr;
    }
    // The first entry after seq, or null.
    const TEntry* After(uint64_t seq) const {
        if (empty()) return nullptr;
        if (seq < m_First.first) return &m_First;
        auto it = std::upper_bound(Rest(), m_Rest.end(), seq, [](uint64_t s, const TEntry& e) { return s < e.first; });
        return it != m_Rest.end() ? &*it : nullptr;
    }
    // Fetches the entry that becomes the front when the front leaves, and
    // where the next entry goes.
    void Prefetch() const {
        if (m_Head < m_Rest.size()) __builtin_prefetch(&m_Rest[m_Head]);
        if (!m_Rest.empty()) __builtin_prefetch(&m_Rest.back() + 1);
    }
    void Erase(uint64_t seq) {
        if (empty()) return;
        if (m_First.first == seq) {
            if (Rest() == m_Rest.end()) {
                m_First = {0, nullptr};
                m_Rest.clear();
                m_Head = 0;
                return;
            }
            m_First = *Rest();
            DropHead();
            return;
        }
        auto it = std::lower_bound(Rest(), m_Rest.cend(), seq, [](const TEntry& e, uint64_t s) { return e.first < s; });
        if (it == m_Rest.end() || it->first != seq) return;
        if (it == Rest()) DropHead();
        else m_Rest.erase(it);
    }

private:
    std::vector<TEntry>::const_iterator Rest() const { return m_Rest.begin() + std::ptrdiff_t(m_Head); }
    void DropHead() {
        if (++m_Head * 2 >= m_Rest.size()) {
            m_Rest.erase(m_Rest.begin(), m_Rest.begin() + std::ptrdiff_t(m_Head));
            m_Head = 0;
        }
    }

    TEntry m_First{0, nullptr};
    std::vector<TEntry> m_Rest;
    size_t m_Head = 0;
};

} // namespace

// The outstanding requests. Replies are offered in start order; an index by
// (code, MAC) keeps matching independent of requests for other devices or
// codes. Requests without a match key are offered every reply.
struct TSessionList {
    uint64_t nextSeq = 1;
    size_t count = 0;
    TKeyTable<TOrdered> index;
    TOrdered unkeyed;

    void Add(TSession* session) {
        session->m_Seq = nextSeq++;
        session->m_Indexed = session->GetMatchKey(session->m_ListCode, session->m_ListMac);
        TOrdered& list =
            session->m_Indexed ? index.Get(MatchKey(session->m_ListCode, session->m_ListMac)) : unkeyed;
        list.push_back(session->m_Seq, session);
        session->m_OrderPrev = newest;
        session->m_OrderNext = nullptr;
        (newest ? newest->m_OrderNext : oldest) = session;
        newest = session;
        ++count;
    }

    void Remove(TSession* session) {
        if (!session->m_Seq) return;
        if (session->m_Indexed) {
            const uint64_t key = MatchKey(session->m_ListCode, session->m_ListMac);
            if (TOrdered* list = index.Find(key)) list->Erase(session->m_Seq);
        } else {
            unkeyed.Erase(session->m_Seq);
        }
        TSession* prev = session->m_OrderPrev;
        TSession* next = session->m_OrderNext;
        (prev ? prev->m_OrderNext : oldest) = next;
        (next ? next->m_OrderPrev : newest) = prev;
        session->m_OrderPrev = session->m_OrderNext = nullptr;
        session->m_Seq = 0;
        --count;
    }

    // Replies mostly come back in the order their requests went out, so
    // while one is handled the lines the next ones read are fetched: the
    // request two after session, the index and registry slots of the one
    // after that, and (those slots being cached by now) the list and the
    // device of the next. A reply out of that order fetches only the next
    // request, without reading it: replies in no order pay no extra miss.
    void PrefetchAfter(const TSession* session) {
        const TSession* next = session->m_OrderNext;
        const bool inOrder = reinterpret_cast<uintptr_t>(session) == expected;
        expected = reinterpret_cast<uintptr_t>(next);
        if (!next) return;
        if (!inOrder) return PrefetchRequest(next);
        if (const TSession* second = next->m_OrderNext) {
            if (const TSession* third = second->m_OrderNext) PrefetchRequest(third);
            if (second->m_Indexed) {
                __builtin_prefetch(index.SlotAddress(MatchKey(second->m_ListCode, second->m_ListMac)));
                PrefetchDeviceSlot(second->m_ListMac);
            }
        }
        if (next->m_Indexed) {
            if (const TOrdered* list = index.Find(MatchKey(next->m_ListCode, next->m_ListMac))) list->Prefetch();
            PrefetchDevice(next->m_ListMac);
        }
    }

    static void PrefetchRequest(const TSession* session) {
        const char* bytes = reinterpret_cast<const char*>(session);
        __builtin_prefetch(bytes);
        __builtin_prefetch(bytes + 64);
        __builtin_prefetch(bytes + sizeof(TSessionGeneralBase) - 1);
    }

    // The first request after seq that may take a frame of key, in start order.
    TSession* Next(uint64_t key, uint64_t& seq) const {
        TSession* best = nullptr;
        uint64_t bestSeq = 0;
        if (const TOrdered* list = index.Find(key)) {
            if (const TOrdered::TEntry* found = list->After(seq)) { best = found->second; bestSeq = found->first; }
        }
        const TOrdered::TEntry* other = unkeyed.After(seq);
        if (other && (!best || other->first < bestSeq)) {
            best = other->second;
            bestSeq = other->first;
        }
        if (best) seq = bestSeq;
        return best;
    }

    // Sequence numbers are never reused, so a request is alive exactly when
    // a list entry still carries its number.
    bool IsAlive(const TSession* session, uint64_t seq, uint64_t key) const {
        if (const TOrdered* list = index.Find(key)) {
            if (const TOrdered::TEntry* found = list->Find(seq)) return found->second == session;
        }
        const TOrdered::TEntry* found = unkeyed.Find(seq);
        return found && found->second == session;
    }

    // Runs a handler that may delete the session; true when it still lives.
    template <class F> static bool Survives(TSession* session, F&& handler);

    TSession* oldest = nullptr;
    TSession* newest = nullptr;
    uintptr_t expected = 0;  // the request after the last one offered a reply
};

namespace {

TSessionList& List()
{
    static TSessionList list;
    return list;
}

} // namespace

template <class F>
bool TSessionList::Survives(TSession* session, F&& handler)
{
    uint64_t seq = session->m_Seq;
    const uint64_t key = MatchKey(session->m_ListCode, session->m_ListMac);
    try {
        handler();
    } catch (...) {
    }
    return !seq || List().IsAlive(session, seq, key);
}

void SetSessionCallback(TSessionCallback* callback) { g_SessionCallback = callback; }
TSessionCallback* GetSessionCallback() { return g_SessionCallback; }

size_t GetSessionCount() { return List().count; }

size_t CountOutstanding(uint16_t code, const TMacAddr& mac)
{
    const TOrdered* list = List().index.Find(MatchKey(code, mac));
    return list ? list->size() : 0;
}

TSession* FindOutstanding(uint16_t code, const TMacAddr& mac)
{
    const TOrdered* list = List().index.Find(MatchKey(code, mac));
    return list && !list->empty() ? list->front().second : nullptr;
}

void DeleteAllSessions()
{
    while (TSession* session = List().oldest) delete session;
}

THeader THeader::Read(const uint8_t* data)
{
    THeader h;
    h.code = uint16_t(data[0] << 8 | data[1]);
    h.status = uint16_t(data[2] << 8 | data[3]);
    h.length = uint16_t(data[4] << 8 | data[5]);
    h.mac = TMacAddr(data + 6, data + 10);
    return h;
}

void THeader::Write(uint8_t* data) const
{
    data[0] = uint8_t(code >> 8);
    data[1] = uint8_t(code);
    data[2] = uint8_t(status >> 8);
    data[3] = uint8_t(status);
    data[4] = uint8_t(length >> 8);
    data[5] = uint8_t(length);
    mac.CopyTo(data + 6);
}

std::string FixedString(const void* field, size_t width)
{
    if (!field || width >= 1024) return std::string();
    return TPayloadReader(field, width).Text(width);
}

void DispatchPacket(uint32_t source, size_t length, const void* data)
{
    if (!data || length < HeaderSize) return;
    const auto* bytes = static_cast<const uint8_t*>(data);
    THeader header = THeader::Read(bytes);
    // A code no request has is a stray: it creates and moves no switch.
    if (!FindCommand(header.code)) return;
    size_t payloadSize = length - HeaderSize;
    // The header's length field is not trusted; a frame is judged by its size.
    header.length = uint16_t(payloadSize > 0xFFFF ? 0xFFFF : payloadSize);
    header.source = source;
    TPayloadReader payload(bytes + HeaderSize, header.length);

    const uint64_t key = MatchKey(header.code, header.mac);
    // The request's index entry is read while the device is looked up.
    __builtin_prefetch(List().index.SlotAddress(key));
    TDevice* device = FindDevice(header.mac, true);
    if (!device) return;

    if (header.code == ccIntpFind) {
        try {
            TSessionIntpFind::GetInstance()->OnReceive(device, header, payload);
        } catch (...) {
        }
        return;
    }

    // An unchanged address calls no device callback: the device stays.
    bool found = device->GetIp() == source;
    device->SetIp(source);
    uint64_t seq = 0;
    // The device may vanish in a handler (a discovery clears the registry);
    // it is looked up again before every later offer.
    for (;; found = false) {
        if (!found && (device = FindDevice(header.mac, false)) == nullptr) return;
        const bool first = seq == 0;
        TSession* session = List().Next(key, seq);
        if (!session) return;
        if (first) List().PrefetchAfter(session);
        int result = rrFinished;
        try {
            result = session->OnReceive(device, header, payload);
        } catch (...) {
            // A request whose handler failed is finished.
            result = rrFinished;
        }
        if (result == rrNotMine) continue;
        if (result == rrFinished && List().IsAlive(session, seq, key)) delete session;
        return;
    }
}

// TSession

TSession::~TSession()
{
    if (m_HasTimer && g_SessionCallback) {
        g_SessionCallback->EnableTimer(this, false);
        g_SessionCallback->DestroyTimer(this);
    }
    m_HasTimer = false;
    List().Remove(this);
}

void TSession::OnTimeout()
{
    delete this;
}

bool TSession::RunGuarded(const std::function<void()>& handler)
{
    return TSessionList::Survives(this, handler);
}

bool TSession::GetMatchKey(uint16_t&, TMacAddr&) const
{
    return false;
}

bool TSession::Start(TDevice* device, TWizard* wizard)
{
    if (!device || m_Seq) return false;
    if (!Request(device)) return false;
    m_Wizard = wizard;
    List().Add(this);
    return true;
}

bool TSession::Resend(TDevice* device)
{
    // The list's index keeps the MAC it was started for.
    if (!m_Seq || !device || (m_Indexed && device->GetMac() != m_ListMac)) return false;
    return Request(device);
}

void TSession::Notify(TDevice* device, uint16_t code, uint16_t status, const void* context)
{
    if (device && code != 0 && code == ReadCode()) device->SetReadStatus(code, status);
    if (g_SessionCallback) g_SessionCallback->Notify(device, code, status, context, m_Wizard, GetName());
}

void TSession::CreateTimer(unsigned ms)
{
    if (!g_SessionCallback) return;
    g_SessionCallback->CreateTimer(this, ms);
    m_HasTimer = true;
}

void TSession::DestroyTimer()
{
    if (!g_SessionCallback || !m_HasTimer) return;
    g_SessionCallback->DestroyTimer(this);
    m_HasTimer = false;
}

void TSession::EnableTimer(bool enable)
{
    if (g_SessionCallback) g_SessionCallback->EnableTimer(this, enable);
}

void TSession::SetTimerInterval(unsigned ms)
{
    if (g_SessionCallback) g_SessionCallback->SetTimerInterval(this, ms);
}

bool TSession::SendFrame(uint32_t ip, const uint8_t* data, size_t size)
{
    if (!g_SessionCallback) return false;
    try {
        g_SessionCallback->Send(ip, data, size);
    } catch (...) {
        return false;
    }
    return true;
}

// TSessionGeneralBase

bool TSessionGeneralBase::Request(TDevice* device)
{
    if (!device || m_Info.requestSize < 0) return false;
    return SendRequest(device, size_t(m_Info.requestSize));
}

bool TSessionGeneralBase::SendRequest(TDevice* device, size_t payloadSize)
{
    if (payloadSize > 0xFFFF) return false;
    m_Target = device->GetMac();
    std::array<uint8_t, 1536> local;
    std::vector<uint8_t> heap;
    uint8_t* frame = local.data();
    size_t frameSize = HeaderSize + payloadSize;
    if (frameSize > local.size()) {
        heap.resize(frameSize);
        frame = heap.data();
    }
    std::fill(frame, frame + frameSize, uint8_t(0));
    WriteHeader(frame, ssOk, payloadSize);
    TPayloadWriter payload(frame + HeaderSize, payloadSize);
    if (!BuildPayload(device, payload) || payload.Failed()) return false;
    if (!SendFrame(GetDestination(device), frame, frameSize)) return false;
    StartTimer();
    return true;
}

void TSessionGeneralBase::WriteHeader(uint8_t* frame, uint16_t status, size_t payloadSize) const
{
    THeader header;
    header.code = m_Info.code;
    header.status = status;
    header.length = uint16_t(payloadSize);
    header.mac = m_Target;
    header.Write(frame);
}

int TSessionGeneralBase::OnReceive(TDevice* device, const THeader& header, TPayloadReader payload)
{
    if (header.code != m_Info.code || m_Target.IsNull() || device->GetMac() != m_Target) return rrNotMine;
    EnableTimer(false);
    if (payload.Size() < m_Info.minReply) {
        Notify(device, m_Info.code, ssShortReply);
        return rrFinished;
    }
    if (header.status == ssNotLoggedIn) {
        device->SetLoggedIn(false);
        // The flag change reaches the host first, which may drop devices.
        if (TDevice* target = FindTarget()) Notify(target, m_Info.code, ssNotLoggedIn);
        return rrFinished;
    }
    return HandleResponse(device, header, payload);
}

void TSessionGeneralBase::OnTimeout()
{
    // A Notify handler may delete every request, this one included.
    bool alive = RunGuarded([this] {
        if (TDevice* device = FindTarget()) Notify(device, m_Info.code, ssTimeout, this);
    });
    if (alive) delete this;
}

void TSessionGeneralBase::StartTimer()
{
    CreateTimer(0);
    EnableTimer(true);
}

bool TSessionGeneralBase::BuildPayload(TDevice*, TPayloadWriter&)
{
    return true;
}

int TSessionGeneralBase::HandleResponse(TDevice* device, const THeader& header, TPayloadReader)
{
    Notify(device, m_Info.code, header.status);
    return rrFinished;
}

uint32_t TSessionGeneralBase::GetDestination(TDevice* device) const
{
    return device->GetIp();
}

uint16_t TSessionGeneralBase::ReadCode() const
{
    return std::string_view(m_Info.record) != "-" ? m_Info.code : 0;
}

bool TSessionGeneralBase::GetMatchKey(uint16_t& code, TMacAddr& mac) const
{
    code = m_Info.code;
    mac = m_Target;
    return true;
}

bool StartOrDelete(TSession* session, TDevice* device, TWizard* wizard) {
    if (!session) return false;
    if (session->Start(device, wizard)) return true;
    delete session;
    return false;
}

} // namespace Intp
