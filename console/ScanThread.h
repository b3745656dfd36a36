#pragma once

// The raw Ethernet scan's capture thread: owns the open adapter, sends the
// scan frame and hands every accepted reply on. libpcap, no Qt.
//
// The capture is non-blocking: the thread waits in poll() on libpcap's
// descriptor and an eventfd, so closing the adapter (a new scan, or the
// dialog hiding) wakes it at once instead of waiting for a read time-out.
// Replies are handed on after the adapter lock is released, as copies tagged
// with the generation of the open adapter they came from. An adapter that
// goes down or away ends its capture; any other read error ends one pass.

#include "intp/ScanFrame.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct pcap;

// One network adapter as libpcap lists it, copied.
struct TScanAdapter {
    std::string Name;
    std::string Description;
    std::vector<std::uint32_t> Ipv4;  // host order, in libpcap's order
};

// libpcap's adapter list; empty when it can't be read.
std::vector<TScanAdapter> FindScanAdapters();

// Results of StartScan.
enum TScanResult {
    srStarted = 0,     // frame sent, capture running
    srNoAdapter = 1,
    srNoMac = 2,       // the adapter's MAC address was not found
    srNoIp = 3,        // the adapter has no IPv4 address
    srOpenFailed = 4,  // libpcap could not open the adapter
    srSendFailed = 5,  // libpcap could not send the frame; the adapter stays open
};

class TWinpcapThread {
public:
    // Called on the capture thread, without any lock held.
    using TDeliver = std::function<void(const Intp::TScanFrame& reply, unsigned generation)>;
    // The capture of that generation ended because its adapter went down or
    // away; libpcap's text. Called on the capture thread, without any lock held.
    using TEnded = std::function<void(unsigned generation, const std::string& reason)>;
    using TMacLookup = std::function<bool(const std::string& adapter, std::uint8_t mac[6])>;

    explicit TWinpcapThread(TDeliver deliver);
    // Closes the adapter and joins the thread.
    ~TWinpcapThread();
    TWinpcapThread(const TWinpcapThread&) = delete;
    TWinpcapThread& operator=(const TWinpcapThread&) = delete;

    // The adapter's MAC by its exact name (tests replace it).
    void SetMacLookup(TMacLookup lookup) { m_MacLookup = std::move(lookup); }
    // Set before the first scan.
    void SetEndedHandler(TEnded ended) { m_Ended = std::move(ended); }

    // Closes an adapter already open, opens this one (snapshot 40 bytes,
    // 1000 ms time-out, incoming frames only, promiscuous on request) and
    // sends the scan frame. A TScanResult.
    int StartScan(const TScanAdapter* adapter, bool promiscuous);
    // Closes the adapter; the thread waits for the next start.
    void StopScan();

    // The generation of the adapter opened last; it changes at every open and close.
    unsigned Generation() const;
    // libpcap's text for the last failed open or send.
    std::string LastError() const;
    // The last open failed for want of privilege (CAP_NET_RAW).
    bool LastErrorIsPermission() const;
    // The adapter is open.
    bool IsOpen() const;

private:
    void Execute();
    // Reads what the adapter holds into accepted after a wake-up (error: the
    // descriptor reported only an error); false when the capture must end.
    bool ReadPass(bool error, std::vector<Intp::TScanFrame>& accepted, std::string& reason);
    void CloseLocked(std::unique_lock<std::mutex>& lock);
    void Wake();

    TDeliver m_Deliver;
    TMacLookup m_MacLookup;
    TEnded m_Ended;

    mutable std::mutex m_Lock;  // the adapter lock
    std::condition_variable m_Changed;
    pcap* m_Handle = nullptr;
    Intp::TMacAddr m_OwnMac;
    std::string m_AdapterName;
    unsigned m_Generation = 1;
    bool m_Polling = false;  // the thread waits in poll() on the handle's descriptor
    bool m_Closing = false;
    bool m_Terminate = false;
    std::string m_Error;
    bool m_PermissionDenied = false;
    int m_WakeFd = -1;
    std::thread m_Thread;
};
