// The XML export: its bytes, and the event loop that runs while it is written.
#include <gtest/gtest.h>

#include <QFile>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

#include "pages/kit/MessageBox.h"
#include "syslog/SyslogExport.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogText.h"

namespace {

constexpr std::uint32_t A1 = 0x0A000001; // 10.0.0.1
constexpr std::uint32_t A2 = 0x0A000002; // 10.0.0.2

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The Time text of a stored message, as the toolkit writes a date and time.
QByteArray TimeOf(const TSyslogFrame& page, std::size_t row)
{
    const QDateTime t = Syslog::LocalDateTime(page.Store().Record(row).received);
    QString text = Syslog::ShortDateText(t);
    if (t.time() != QTime(0, 0))
        text += u' ' + Syslog::LongTimeText(t);
    return text.toUtf8();
}

QByteArray Entry(const char* id, const char* facility, const char* severity, const char* address,
    const QByteArray& time, const QByteArray& message)
{
    return QByteArray("  <Entry EventId=\"") + id + "\">\n    <Facility>" + facility + "</Facility>\n    <Severity>"
        + severity + "</Severity>\n    <Address>" + address + "</Address>\n    <Time>" + time
        + "</Time>\n    <Message>" + message + "</Message>\n  </Entry>\n";
}

class SyslogExport : public ::testing::Test {
protected:
    QTemporaryDir m_Dir;
    TSyslogFrame m_Page;
    QString m_Path = m_Dir.filePath(QStringLiteral("out.xls"));

    SyslogExport() { m_Page.SetSaveFileNameHook([this] { return m_Path; }); }
    void AddMany(int count)
    {
        for (int i = 0; i < count; ++i)
            m_Page.AddMessage(A1 + std::uint32_t(i % 7), ("<13>Oct 11 22:14:15 sw m" + std::to_string(i)).c_str());
    }
};

} // namespace

// The bytes the document writer wrote before the export was streamed.
TEST_F(SyslogExport, WritesTheBytesOfTheDocumentWriterWithControlCharactersReplaced)
{
    m_Page.AddMessage(A2, "<190>Oct 11 22:14:15 sw2 first & <b> \"q\" 'a' ]]> x>y ]>");
    m_Page.AddMessage(A1, "bell\x07 esc\x1b[0m tab\there\r\nnext\x7f");
    m_Page.AddMessage(A1, "caf\xc3\xa9 \xe9t\xe9 \xef\xbf\xbe");
    m_Page.AddMessage(A1, "");
    m_Page.AddMessage(A1, "<13>Feb  5 10:00:00 host ");
    const QByteArray expected = QByteArray("<?xml version=\"1.0\"?>\n<Syslog>\n")
        + Entry("2", "16", "3", "10.0.0.1", TimeOf(m_Page, 1),
            "bell\xef\xbf\xbd esc\xef\xbf\xbd[0m tab\there&#xd;\nnext\x7f")
        + Entry("3", "16", "3", "10.0.0.1", TimeOf(m_Page, 2),
            "caf\xc3\xa9 \xef\xbf\xbdt\xef\xbf\xbd \xef\xbf\xbd")
        + Entry("4", "16", "3", "10.0.0.1", TimeOf(m_Page, 3), "")
        + Entry("5", "1", "5", "10.0.0.1", TimeOf(m_Page, 4), "")
        + Entry("1", "23", "6", "10.0.0.2", TimeOf(m_Page, 0), "first &amp; &lt;b> \"q\" 'a' ]]&gt; x>y ]>")
        + "</Syslog>\n";
    ASSERT_TRUE(m_Page.EventOnSaveClick());
    EXPECT_EQ(ReadAll(m_Path), expected);

    // A list handed to the server is written the same way.
    TSyslogList list;
    m_Page.Query(0, &list, false);
    const QString listPath = m_Dir.filePath(QStringLiteral("list.xml"));
    ASSERT_TRUE(m_Page.SaveToFile(&list, listPath.toStdString()));
    EXPECT_EQ(ReadAll(listPath), expected);

    m_Page.Clear();
    ASSERT_TRUE(m_Page.EventOnSaveClick());
    EXPECT_EQ(ReadAll(m_Path), QByteArray("<?xml version=\"1.0\"?>\n<Syslog/>\n"));
}

TEST_F(SyslogExport, TheEventLoopRunsWhileSavingAndMessagesComingMeanwhileOutliveTheClear)
{
    constexpr int Count = 4 * Syslog::ExportSliceEntries;
    AddMany(Count);
    SetMessageBoxHook([](const TMessageBoxRequest&) { return QMessageBox::Yes; });
    bool ranBeforeTheFile = false;
    QTimer::singleShot(0, &m_Page, [&] {
        ranBeforeTheFile = !QFile::exists(m_Path);
        m_Page.AddMessage(A2, "<13>Oct 11 22:14:16 sw late");
    });
    m_Page.EventOnClearClick();
    SetMessageBoxHook({});
    EXPECT_TRUE(ranBeforeTheFile);
    EXPECT_EQ(ReadAll(m_Path).count("<Entry "), Count);
    // Saved and cleared; the late message came after.
    ASSERT_EQ(m_Page.Store().Size(), 1u);
    EXPECT_EQ(m_Page.Store().Record(0).Message(), "late");
    EXPECT_EQ(m_Page.Store().Record(0).eventId, 1u);
    EXPECT_EQ(m_Page.ListView()->model()->rowCount(), 1);
}

TEST_F(SyslogExport, AClearDuringTheSaveFailsItAndItIsReported)
{
    AddMany(4 * Syslog::ExportSliceEntries);
    std::vector<TMessageBoxRequest> boxes;
    SetMessageBoxHook([&](const TMessageBoxRequest& request) {
        boxes.push_back(request);
        return QMessageBox::Ok;
    });
    QTimer::singleShot(0, &m_Page, [&] { m_Page.Clear(); });
    EXPECT_FALSE(m_Page.EventOnSaveClick());
    SetMessageBoxHook({});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(QFile::exists(m_Path));
}
