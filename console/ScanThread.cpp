#include "console/ScanThread.h"

#include "intp/NetUtils.h"

#include <pcap/pcap.h>

#include <arpa/inet.h>
#include <net/if.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cstring>

namespace {

constexpr int kSnapLength = int(Intp::ScanFrameSize);
constexpr int kReadTimeoutMs = 1000;
// Frames read per wake-up before the lock is released for the hand-off.
constexpr int kFramesPerPass = 256;

// Wake-ups in a row that bring an error and no frame before a capture is
// given up: an error that libpcap never clears would otherwise spin.
constexpr int kErrorWakeLimit = 64;

// The adapter exists and is administratively up.
bool AdapterIsUp(int fd, const std::string& name)
{
    ifreq request{};
    if (name.size() >= sizeof request.ifr_name)
        return false;
    std::memcpy(request.ifr_name, name.c_str(), name.size());
    return ioctl(fd, SIOCGIFFLAGS, &request) == 0 && (request.ifr_flags & IFF_UP);
}

}  // namespace

std::vector<TScanAdapter> FindScanAdapters()
{
    std::vector<TScanAdapter> adapters;
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_if_t* list = nullptr;
    if (pcap_findalldevs(&list, error) != 0)
        return adapters;
    for (const pcap_if_t* item = list; item; item = item->next) {
        TScanAdapter adapter;
        adapter.Name = item->name ? item->name : "";
        adapter.Description = item->description ? item->description : "";
        for (const pcap_addr_t* address = item->addresses; address; address = address->next) {
            if (address->addr && address->addr->sa_family == AF_INET) {
                sockaddr_in in;
                std::memcpy(&in, address->addr, sizeof in);
                adapter.Ipv4.push_back(ntohl(in.sin_addr.s_addr));
            }
        }
        adapters.push_back(std::move(adapter));
    }
    pcap_freealldevs(list);
    return adapters;
}

TWinpcapThread::TWinpcapThread(TDeliver deliver)
    : m_Deliver(std::move(deliver)),
      m_MacLookup([](const std::string& adapter, std::uint8_t mac[6]) { return GetInterfaceMac(adapter, mac); })
{
}

TWinpcapThread::~TWinpcapThread()
{
    std::unique_lock lock(m_Lock);
    CloseLocked(lock);
    m_Terminate = true;
    lock.unlock();
    Wake();
    m_Changed.notify_all();
    if (m_Thread.joinable())
        m_Thread.join();
    if (m_WakeFd >= 0)
        close(m_WakeFd);
}

void TWinpcapThread::Wake()
{
    if (m_WakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = write(m_WakeFd, &one, sizeof one);
    }
}

int TWinpcapThread::StartScan(const TScanAdapter* adapter, bool promiscuous)
{
    if (!adapter)
        return srNoAdapter;
    std::uint8_t mac[6] = {};
    if (!m_MacLookup(adapter->Name, mac))
        return srNoMac;
    if (adapter->Ipv4.empty())
        return srNoIp;

    std::unique_lock lock(m_Lock);
    if (m_WakeFd < 0)
        m_WakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    CloseLocked(lock);
    m_Error.clear();
    m_PermissionDenied = false;
    char error[PCAP_ERRBUF_SIZE] = {};
    pcap_t* handle = pcap_create(adapter->Name.c_str(), error);
    if (!handle) {
        m_Error = error;
        return srOpenFailed;
    }
    pcap_set_snaplen(handle, kSnapLength);
    pcap_set_promisc(handle, promiscuous ? 1 : 0);
    pcap_set_timeout(handle, kReadTimeoutMs);
    pcap_set_immediate_mode(handle, 1);
    const int activated = pcap_activate(handle);
    if (activated < 0 || m_WakeFd < 0 || pcap_setnonblock(handle, 1, error) != 0 ||
        pcap_get_selectable_fd(handle) < 0) {
        const char* text = activated < 0 ? pcap_geterr(handle) : error;
        m_Error = text && *text ? text : pcap_statustostr(activated);
        m_PermissionDenied = activated == PCAP_ERROR_PERM_DENIED || activated == PCAP_ERROR_PROMISC_PERM_DENIED;
        pcap_close(handle);
        return srOpenFailed;
    }
    // The frames this adapter sends itself are not captured.
    pcap_setdirection(handle, PCAP_D_IN);
    // Only our EtherType reaches the thread; the reply test still runs on each frame.
    bpf_program program;
    if (pcap_compile(handle, &program, "ether proto 0xdead", 1, PCAP_NETMASK_UNKNOWN) == 0) {
        pcap_setfilter(handle, &program);
        pcap_freecode(&program);
    }

    m_Handle = handle;
    m_OwnMac = Intp::TMacAddr(mac);
    m_AdapterName = adapter->Name;
    ++m_Generation;
    if (!m_Thread.joinable())
        m_Thread = std::thread(&TWinpcapThread::Execute, this);
    m_Changed.notify_all();

    const Intp::TScanFrame frame = Intp::BuildScanFrame(m_OwnMac, adapter->Ipv4.front());
    if (pcap_sendpacket(handle, frame.data(), int(frame.size())) != 0) {
        m_Error = pcap_geterr(handle);
        return srSendFailed;
    }
    return srStarted;
}

void TWinpcapThread::StopScan()
{
    std::unique_lock lock(m_Lock);
    CloseLocked(lock);
}

void TWinpcapThread::CloseLocked(std::unique_lock<std::mutex>& lock)
{
    if (!m_Handle)
        return;
    // Wake the thread out of poll() before its descriptor goes away.
    m_Closing = true;
    Wake();
    m_Changed.wait(lock, [this] { return !m_Polling; });
    pcap_close(m_Handle);
    m_Handle = nullptr;
    m_Closing = false;
    ++m_Generation;
    m_Changed.notify_all();
}

unsigned TWinpcapThread::Generation() const
{
    std::lock_guard lock(m_Lock);
    return m_Generation;
}

std::string TWinpcapThread::LastError() const
{
    std::lock_guard lock(m_Lock);
    return m_Error;
}

bool TWinpcapThread::LastErrorIsPermission() const
{
    std::lock_guard lock(m_Lock);
    return m_PermissionDenied;
}

bool TWinpcapThread::IsOpen() const
{
    std::lock_guard lock(m_Lock);
    return m_Handle != nullptr;
}

bool TWinpcapThread::ReadPass(bool error, std::vector<Intp::TScanFrame>& accepted, std::string& reason)
{
    for (int i = 0; i < kFramesPerPass; ++i) {
        pcap_pkthdr* header = nullptr;
        const u_char* data = nullptr;
        const int read = pcap_next_ex(m_Handle, &header, &data);
        // libpcap takes the descriptor's error (the adapter went down) and
        // may report no frame and no error for it: the adapter is asked.
        if (read == 0)
            return !error || AdapterIsUp(pcap_get_selectable_fd(m_Handle), m_AdapterName);
        if (read < 0) {
            reason = pcap_geterr(m_Handle);
            // Gone or down ends the capture; any other read error ends this pass.
            return read != PCAP_ERROR_IFACE_NOT_UP && AdapterIsUp(pcap_get_selectable_fd(m_Handle), m_AdapterName);
        }
        if (Intp::AcceptScanReply(data, header->caplen, m_OwnMac)) {
            Intp::TScanFrame copy;
            std::memcpy(copy.data(), data, copy.size());
            accepted.push_back(copy);
        }
    }
    return true;
}

void TWinpcapThread::Execute()
{
    std::vector<Intp::TScanFrame> accepted;
    int errorWakes = 0;
    std::unique_lock lock(m_Lock);
    for (;;) {
        m_Changed.wait(lock, [this] { return m_Terminate || (m_Handle && !m_Closing); });
        if (m_Terminate)
            break;
        const unsigned generation = m_Generation;
        pollfd fds[2] = {{pcap_get_selectable_fd(m_Handle), POLLIN, 0}, {m_WakeFd, POLLIN, 0}};
        m_Polling = true;
        lock.unlock();
        const int ready = poll(fds, 2, kReadTimeoutMs);
        lock.lock();
        m_Polling = false;
        m_Changed.notify_all();
        if (fds[1].revents & POLLIN) {
            std::uint64_t count;
            [[maybe_unused]] ssize_t n = read(m_WakeFd, &count, sizeof count);
        }
        if (ready <= 0 || !m_Handle || m_Closing || generation != m_Generation || fds[0].revents == 0)
            continue;

        // An error on the descriptor is libpcap's to read and clear.
        const bool error = !(fds[0].revents & POLLIN);
        std::string reason;
        const bool goesOn = ReadPass(error, accepted, reason);
        errorWakes = !error || !accepted.empty() ? 0 : errorWakes + 1;
        const bool ended = !goesOn || errorWakes >= kErrorWakeLimit;
        if (ended) {
            pcap_close(m_Handle);
            m_Handle = nullptr;
            ++m_Generation;
            errorWakes = 0;
        }
        if (accepted.empty() && !ended)
            continue;
        lock.unlock();
        for (const Intp::TScanFrame& reply : accepted)
            m_Deliver(reply, generation);
        accepted.clear();
        if (ended && m_Ended)
            m_Ended(generation, reason);
        lock.lock();
    }
}
