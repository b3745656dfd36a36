// The scan dialog and the start of a scan, without a network.
#include "pages/kit/MessageBox.h"
#include "console/ScanDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

std::vector<TScanAdapter> TwoAdapters()
{
    return {{"lo", "", {0x7F000001}}, {"ie2e0", "veth", {0x0A000001, 0x0A000002}}};
}

bool NoMac(const std::string&, std::uint8_t*) { return false; }
bool SomeMac(const std::string&, std::uint8_t mac[6])
{
    std::fill(mac, mac + 6, 0x02);
    return true;
}

QStringList Row(QTreeWidget* list, int i)
{
    QTreeWidgetItem* item = list->topLevelItem(i);
    return item ? QStringList{item->text(0), item->text(1), item->text(2)} : QStringList();
}

}  // namespace

TEST(ScanStart, ChecksTheAdapterBeforeOpeningIt)
{
    TWinpcapThread thread([](const Intp::TScanFrame&, unsigned) {});
    EXPECT_EQ(thread.StartScan(nullptr, false), srNoAdapter);
    const TScanAdapter noIp{"ie2e0", "", {}};
    const TScanAdapter missing{"nosuch" + std::to_string(getpid()), "", {0x0A000001}};
    thread.SetMacLookup(&NoMac);
    EXPECT_EQ(thread.StartScan(&missing, false), srNoMac);
    thread.SetMacLookup(&SomeMac);
    EXPECT_EQ(thread.StartScan(&noIp, false), srNoIp);
    const unsigned generation = thread.Generation();
    EXPECT_EQ(thread.StartScan(&missing, true), srOpenFailed);
    EXPECT_FALSE(thread.LastError().empty());
    EXPECT_FALSE(thread.IsOpen());
    thread.StopScan();
    EXPECT_EQ(thread.Generation(), generation);  // nothing was open

    EXPECT_EQ(TScanForm::StartErrorText(srNoAdapter, "", "", false), "Invalid interface");
    EXPECT_EQ(TScanForm::StartErrorText(srNoIp, "eth1", "", false),
              "Unable to get a valid IP address from interface eth1");
    const QString denied = TScanForm::StartErrorText(srOpenFailed, "eth1", "socket: Operation not permitted", true);
    EXPECT_TRUE(denied.startsWith("Unable to open the adapter. eth1 is not supported by libpcap\nlibpcap: socket: "
                                  "Operation not permitted\n"))
        << denied.toStdString();
    EXPECT_TRUE(denied.contains("CAP_NET_RAW"));
    EXPECT_EQ(TScanForm::StartErrorText(srSendFailed, "eth1", "", false), "Error sending the packet: eth1");
}

TEST(ScanForm, ScansOnlyOnAPickedAdapterAndForgetsTheScanWhenHidden)
{
    std::vector<std::string> boxes;
    TMessageBoxHook old = SetMessageBoxHook([&](const TMessageBoxRequest& request) {
        boxes.push_back(request.text.toStdString());
        return QMessageBox::Ok;
    });
    TScanForm form;
    form.SetAdapterSource(&TwoAdapters);
    form.Thread()->SetMacLookup(&NoMac);
    EXPECT_FALSE(form.ScanButton()->isEnabled());
    form.show();
    ASSERT_EQ(form.Interfaces()->count(), 2);
    EXPECT_EQ(form.Interfaces()->itemText(0), "lo");
    EXPECT_EQ(form.Interfaces()->itemText(1), "ie2e0 : veth");
    EXPECT_EQ(form.Interfaces()->currentIndex(), 0);
    EXPECT_FALSE(form.ScanButton()->isEnabled()); // until an adapter is picked
    EXPECT_EQ(form.IpAddress()->text(), "");

    emit form.Interfaces()->activated(1);
    EXPECT_TRUE(form.ScanButton()->isEnabled());
    EXPECT_TRUE(form.Promiscuous()->isEnabled());
    EXPECT_EQ(form.IpAddress()->text(), "10.0.0.1, 10.0.0.2, ");

    form.AddScanReply(Intp::BuildScanFrame(Intp::TMacAddr(2, 0, 0, 0, 0, 1), 0));
    Intp::TScanFrame reply{};
    for (int i = 0; i < 6; ++i)
        reply[26 + i] = std::uint8_t(0xA0 + i);
    reply[36] = 198, reply[37] = 18, reply[38] = 1, reply[39] = 2;
    form.AddScanReply(reply);
    form.AddScanReply(reply);  // replies are not merged
    EXPECT_EQ(Row(form.ListView(), 1), (QStringList{"2", "A0:A1:A2:A3:A4:A5", "198.18.1.2"}));
    EXPECT_EQ(Row(form.ListView(), 2)[0], "3");

    // Scan empties the list before it starts; a failed start says why.
    form.ScanButton()->click();
    EXPECT_EQ(form.ListView()->topLevelItemCount(), 0);
    EXPECT_EQ(boxes, std::vector<std::string>{"Unable to get a valid MAC address from interface ie2e0"});

    form.AddScanReply(reply);
    form.hide();
    EXPECT_EQ(form.ListView()->topLevelItemCount(), 0);
    EXPECT_EQ(form.Interfaces()->count(), 0);
    EXPECT_FALSE(form.ScanButton()->isEnabled());
    EXPECT_EQ(form.IpAddress()->text(), "");

    // Shown again, it waits for a pick again.
    form.show();
    EXPECT_EQ(form.Interfaces()->currentIndex(), 0);
    EXPECT_FALSE(form.ScanButton()->isEnabled());
    form.hide();
    SetMessageBoxHook(old);
}
