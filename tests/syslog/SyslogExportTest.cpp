// The XML export: its bytes, and the messages that come while it is written.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "pages/kit/MessageBox.h"
#include "syslog/SyslogExport.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogText.h"

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SyslogExport : public ::testing::Test {
protected:
    QTemporaryDir m_Dir;
    TSyslogFrame m_Page;
    QString m_Path = m_Dir.filePath(QStringLiteral("out.xls"));

    SyslogExport() { m_Page.SetSaveFileNameHook([this] { return m_Path; }); }
    // An entry as the document writer wrote it before the export was streamed.
    QByteArray Entry(std::size_t row, const char* head, const QByteArray& message) const
    {
        const QDateTime t = Syslog::LocalDateTime(m_Page.Store().Record(row).received);
        QString time = Syslog::ShortDateText(t);
        if (t.time() != QTime(0, 0))
            time += u' ' + Syslog::LongTimeText(t);
        return QByteArray("  <Entry EventId=\"") + head + "</Address>\n    <Time>" + time.toUtf8()
            + "</Time>\n    <Message>" + message + "</Message>\n  </Entry>\n";
    }
};

} // namespace

TEST_F(SyslogExport, WritesTheBytesOfTheDocumentWriterWithControlCharactersReplaced)
{
    m_Page.AddMessage(0x0A000002, "<190>Oct 11 22:14:15 sw2 first & <b> \"q\" 'a' ]]> x>y ]>");
    m_Page.AddMessage(0x0A000001, "bell\x07 esc\x1b[0m tab\there\r\nnext\x7f");
    m_Page.AddMessage(0x0A000001, "caf\xc3\xa9 \xe9t\xe9 \xef\xbf\xbe");
    m_Page.AddMessage(0x0A000001, "");
    m_Page.AddMessage(0x0A000001, "<13>Feb  5 10:00:00 host ");
    const char* const a1 = "\">\n    <Facility>16</Facility>\n    <Severity>3</Severity>\n    <Address>10.0.0.1";
    const QByteArray expected = QByteArray("<?xml version=\"1.0\"?>\n<Syslog>\n")
        + Entry(1, (QByteArray("2") + a1), "bell\xef\xbf\xbd esc\xef\xbf\xbd[0m tab\there&#xd;\nnext\x7f")
        + Entry(2, (QByteArray("3") + a1), "caf\xc3\xa9 \xef\xbf\xbdt\xef\xbf\xbd \xef\xbf\xbd")
        + Entry(3, (QByteArray("4") + a1), "")
        + Entry(4, "5\">\n    <Facility>1</Facility>\n    <Severity>5</Severity>\n    <Address>10.0.0.1", "")
        + Entry(0, "1\">\n    <Facility>23</Facility>\n    <Severity>6</Severity>\n    <Address>10.0.0.2",
            "first &amp; &lt;b> \"q\" 'a' ]]&gt; x>y ]>")
        + "</Syslog>\n";
    ASSERT_TRUE(m_Page.EventOnSaveClick());
    EXPECT_EQ(ReadAll(m_Path), expected);

    m_Page.Clear();
    ASSERT_TRUE(m_Page.EventOnSaveClick());
    EXPECT_EQ(ReadAll(m_Path), QByteArray("<?xml version=\"1.0\"?>\n<Syslog/>\n"));
}

TEST_F(SyslogExport, MessagesComingWhileSavingOutliveTheClearThatFollows)
{
    for (int i = 0; i < 4 * Syslog::ExportSliceEntries; ++i)
        m_Page.AddMessage(0x0A000001 + std::uint32_t(i % 7), "<13>Oct 11 22:14:15 sw m");
    SetMessageBoxHook([](const TMessageBoxRequest&) { return QMessageBox::Yes; });
    QTimer::singleShot(0, &m_Page, [&] { m_Page.AddMessage(0x0A000002, "<13>Oct 11 22:14:16 sw late"); });
    m_Page.EventOnClearClick(); // Yes: save, then clear
    SetMessageBoxHook({});
    EXPECT_EQ(ReadAll(m_Path).count("<Entry "), 4 * Syslog::ExportSliceEntries);
    ASSERT_EQ(m_Page.Store().Size(), 1u);
    EXPECT_EQ(m_Page.Store().Record(0).Message(), "late");
}
