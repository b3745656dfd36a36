#pragma once

// The page test kit: one page on show in the fake hosts; records put into a
// device's cache and notified as the library would (built with the shared
// builders of tests/common/Records.h: port names, per-port records, tables);
// what the page sent, read back as the typed payloads or entries of its
// request class; the message boxes it showed (env.messages).

#include "PageTestHost.h"
#include "intp/DeviceType.h"
#include "intp/Property.h"
#include "intp/Record.h"
#include "tests/common/Records.h"

#include <gtest/gtest.h>

#include <QTest>

#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

// A model of the device-model table with the counts a test needs.
inline std::uint32_t TestModel(std::uint32_t ports, std::uint32_t recipients = 0, std::uint32_t trunkGroups = 0,
                               std::uint32_t trunkMembers = 0,
                               std::uint32_t communities = 0, std::uint32_t secureIps = 0,
                               std::uint32_t tagVids = 0)
{
    Intp::TDeviceType type;
    type.Name = "Test model";
    type.PortNum = ports;
    type.TrunkGroupNum = trunkGroups;
    type.TrunkMemberNum = trunkMembers;
    type.SmtpRecipientNum = recipients;
    type.SnmpCommunityNum = communities;
    type.SecureIpNum = secureIps;
    type.TagVidNum = tagVids;
    return std::uint32_t(Intp::RegisterDeviceType(&type));
}

// A Get reply's payload as the switch sends a record.
template <class R> std::vector<std::uint8_t> ReplyBytes(const R& record)
{
    return Intp::EncodeRecord(record, Intp::TMessage::Get);
}

// A Set's payload as a page sends a record.
template <class R> std::vector<std::uint8_t> SetBytes(const R& record)
{
    return Intp::EncodeRecord(record, Intp::TMessage::Set);
}

// The payloads sent with T's code, in order, as T's typed payload.
template <class T> std::vector<typename T::Payload> SentPayloads(const IntpTest::TFakeHost& protocol)
{
    std::vector<typename T::Payload> payloads;
    for (const IntpTest::TSent& frame : protocol.SentWith(T::CommandCode))
        payloads.push_back(Intp::DecodePayload<T>(frame.payload.data(), frame.payload.size()));
    return payloads;
}

// A read's notification as the library sends it: the device keeps the
// read's outcome first.
inline void NotifyRead(TModule* page, Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    device->SetReadStatus(code, status);
    page->OnNotify(device, code, status);
}

template <class TPage> class TPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        page = std::make_unique<TPage>();
        page->SetHost(&env.host);
        env.page = page.get();
        // Every device is of the generation of a page one tree alone holds.
        threshold = Intp::g_LayoutThreshold;
        if (page->TreeLayouts() == 1)
            Intp::g_LayoutThreshold = std::numeric_limits<int>::max();
        else if (page->TreeLayouts() == 2)
            Intp::g_LayoutThreshold = -1;
    }
    void TearDown() override
    {
        env.page = nullptr;
        Intp::g_LayoutThreshold = threshold;
    }

    // A logged-in device of the model, selected as the current device.
    Intp::TDevice* Select(std::uint8_t last, std::uint32_t model)
    {
        Intp::TDevice* device = env.AddDevice(last, Ip(10, 0, 0, last));
        device->SetType(model);
        env.host.selection.push_back(device);
        return device;
    }
    // Puts a valid record into the device's cache.
    template <class R> void Put(Intp::TDevice* device, R record)
    {
        record.valid = true;
        Intp::Property<R>::Get(device) = record;
    }
    // Puts a valid record into every selected device's cache: the record
    // itself, or make(device)'s for records sized by each model.
    template <class T> void PutEach(const T& recordOrMake)
    {
        for (Intp::TDevice* device : env.host.selection) {
            if constexpr (std::is_invocable_v<const T&, Intp::TDevice*>)
                Put(device, recordOrMake(device));
            else
                Put(device, recordOrMake);
        }
    }
    // Every selected device's port names, as its model has them.
    void PutPortNamesEach()
    {
        PutEach([](Intp::TDevice* device) { return IntpTest::PortNames(Intp::ModelOf(device)); });
    }
    // The notification of a finished read, as the library sends it.
    void Notify(Intp::TDevice* device, std::uint16_t code) { NotifyRead(page.get(), device, code, Intp::ssOk); }
    void Refill() { page->OnNotify(nullptr, ncSelectionChanged, 0); }
    // The payloads sent with T's code, in order.
    template <class T> std::vector<typename T::Payload> Sent() const { return SentPayloads<T>(env.protocol); }
    // The entries each Set of class T sent, in order.
    template <class T> auto SentEntries() const
    {
        std::vector<decltype(IntpTest::SentEntries<T>(IntpTest::TSent{}))> sets;
        for (const IntpTest::TSent& frame : env.protocol.SentWith(T::CommandCode))
            sets.push_back(IntpTest::SentEntries<T>(frame));
        return sets;
    }
    std::size_t SentCount(std::uint16_t code) const { return env.protocol.SentWith(code).size(); }

    TPageTestEnvironment env;
    std::unique_ptr<TPage> page;
    int threshold = 0;
};

// Types text key by key, any character as a keyboard that has it would.
inline void TypeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
