// Changes the user has not applied are kept when a switch is added to the
// targets, and dropped only when the user agrees.
#include "PageTestHost.h"

#include "intp/Device.h"
#include "intp/SystemSettings.h"
#include "pages/kit/ModulePage.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

std::vector<uint8_t> SettingsReply(const std::string& location)
{
    std::vector<uint8_t> payload(8, 0);
    payload.push_back(1);
    for (const std::string& text : {std::string(), std::string(), location, std::string(), std::string()})
        IntpTest::PutText(payload, text, 256);
    return payload;
}

class TLocationPage : public TModulePage {
public:
    TLocationPage() : TModulePage("Location")
    {
        m_Location = new QLineEdit(this);
        AddRead<Intp::TSessionBasicsSettingsGet>();
        AddInputs({m_Location});
    }
    void Apply()
    {
        const std::string location = m_Location->text().toStdString();
        SendToSelectedDevices<Intp::TSessionBasicsSettingsSet>(
            [&](Intp::TSessionBasicsSettingsSet& request) { request.SetPayload("n", "d", location, "c"); });
    }
    QLineEdit* m_Location;

protected:
    void Fill(Intp::TDevice* device) override
    {
        m_Location->setText(QString::fromStdString(ValidRecord<Intp::TPropertyBasicsSettings>(device).Location));
    }
};

TEST(UnappliedEdits, AreKeptForAnAddedTargetAndDroppedOnlyWhenTheUserAgrees)
{
    TPageTestEnvironment env;
    TLocationPage page;
    page.SetHost(&env.host);
    env.page = &page;
    Intp::TDevice* a = env.AddDevice(1, Ip(10, 0, 0, 1));
    Intp::TDevice* b = env.AddDevice(2, Ip(10, 0, 0, 2));
    QMessageBox::StandardButton answer = QMessageBox::No;
    QStringList asked;
    const TMessageBoxHook old = SetMessageBoxHook([&](const TMessageBoxRequest& request) {
        asked << request.text;
        return answer;
    });
    auto select = [&](TDeviceList devices, const char* location) {
        env.host.selection = devices;
        page.Refresh(true);
        env.protocol.Reply(Intp::ccBasicsSettingsGet, devices.front(), SettingsReply(location));
    };

    select({a}, "Rack 7");
    QTest::keyClicks(page.m_Location, "b");
    EXPECT_TRUE(page.HasUnappliedEdits());

    // A second target: the edit stays, to be applied to both.
    select({a, b}, "Rack 7");
    EXPECT_EQ(page.m_Location->text(), "Rack 7b");
    EXPECT_TRUE(asked.isEmpty());

    // Another switch on show: asked; kept on No.
    select({b}, "Hall 2");
    EXPECT_EQ(asked, QStringList{"Discard the changes not applied?"});
    EXPECT_EQ(page.m_Location->text(), "Rack 7b");
    EXPECT_EQ(page.StatusLine()->text(), "The changes not applied are kept: Apply sends them to the selected switches.");

    // Applied: the next read shows the switch's own value.
    page.Apply();
    EXPECT_FALSE(page.HasUnappliedEdits());
    env.protocol.Reply(Intp::ccBasicsSettingsGet, b, SettingsReply("Rack 7b"));
    EXPECT_EQ(page.m_Location->text(), "Rack 7b");

    // Discarded on Yes.
    QTest::keyClicks(page.m_Location, "c");
    answer = QMessageBox::Yes;
    select({a}, "Rack 7");
    EXPECT_EQ(asked.size(), 2);
    EXPECT_EQ(page.m_Location->text(), "Rack 7");
    EXPECT_FALSE(page.HasUnappliedEdits());
    SetMessageBoxHook(old);
}

}  // namespace
