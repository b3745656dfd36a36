#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <atomic>
#include <chrono>
#include <thread>

#include "pages/kit/MessageBox.h"
#include "syslog/SyslogForm.h"
#include "syslog/SyslogFrame.h"
#include "syslog/SyslogSocketThread.h"
#include "tests/syslog/SyslogSender.h"

namespace {

constexpr std::uint32_t A1 = 0x0A000001; // 10.0.0.1
constexpr std::uint32_t A2 = 0x0A000002; // 10.0.0.2

QString Cell(TSyslogFrame& page, int row, int column)
{
    const QAbstractItemModel* model = page.ListView()->model();
    return model->index(row, column).data().toString();
}

// Answers every message box with the given button and records the boxes.
class TBoxAnswer {
public:
    explicit TBoxAnswer(QMessageBox::StandardButton answer)
    {
        m_Old = SetMessageBoxHook([this, answer](const TMessageBoxRequest& request) {
            m_Boxes.push_back(request);
            if (request.buttons.testFlag(answer))
                return answer;
            return EscapeAnswer(request.buttons);
        });
    }
    ~TBoxAnswer() { SetMessageBoxHook(m_Old); }
    TBoxAnswer(const TBoxAnswer&) = delete;
    TBoxAnswer& operator=(const TBoxAnswer&) = delete;

    std::vector<TMessageBoxRequest> m_Boxes;

private:
    TMessageBoxHook m_Old;
};

// An "Entry" element: its attributes and its children's texts.
struct TEntry {
    QXmlStreamAttributes attributes;
    std::map<QString, QString> children;

    QString attribute(const QString& name) const { return attributes.value(name).toString(); }
};

struct TExport {
    bool wellFormed = false;
    QString declaration;
    QString root;
    std::vector<TEntry> entries;
};

TExport ReadExport(const QString& path)
{
    TExport out;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QByteArray bytes = file.readAll();
    // A strict reader: any character XML forbids makes it fail.
    // Root, its "Entry" children and their children's texts.
    QXmlStreamReader reader(bytes);
    int depth = 0;
    bool inEntry = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            --depth;
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        ++depth;
        if (depth == 1) {
            out.root = reader.name().toString();
        } else if (depth == 2) {
            inEntry = reader.name() == QStringLiteral("Entry");
            if (inEntry)
                out.entries.push_back({reader.attributes(), {}});
        } else if (depth == 3 && inEntry) {
            const QString name = reader.name().toString();
            out.entries.back().children.emplace(name, reader.readElementText(QXmlStreamReader::IncludeChildElements));
            --depth;
        }
    }
    out.wellFormed = !reader.hasError();
    out.declaration = QString::fromUtf8(bytes.left(bytes.indexOf("?>") + 2));
    return out;
}

QString Child(const TEntry& entry, const char* name)
{
    const auto child = entry.children.find(QString::fromLatin1(name));
    return child == entry.children.end() ? QString() : child->second;
}

class SyslogPage : public ::testing::Test {
protected:
    QTemporaryDir m_Dir;
    TSyslogFrame m_Page;

    QString PathOf(const char* name) const { return m_Dir.filePath(QString::fromLatin1(name)); }
    void SaveTo(const QString& path)
    {
        m_Page.SetSaveFileNameHook([path] { return path; });
    }
};

} // namespace

TEST_F(SyslogPage, IsTheSyslogEventsPageAndShowsOnAnyNotification)
{
    EXPECT_EQ(m_Page.GetCaption(), QStringLiteral("Syslog Events"));
    m_Page.OnNotify(nullptr, 0x0104, 0);
    EXPECT_TRUE(m_Page.isVisibleTo(nullptr) || !m_Page.isHidden());
    EXPECT_TRUE(m_Page.Leave(false));
    EXPECT_TRUE(m_Page.isHidden());
}

TEST_F(SyslogPage, ColumnsOfKnownTextsShowTheirWidestTextWhole)
{
    QHeaderView* header = m_Page.ListView()->horizontalHeader();
    const QFontMetrics metrics = m_Page.fontMetrics();
    // Facility names: the column takes those on show, not the longest of all.
    EXPECT_LT(header->sectionSize(1), metrics.horizontalAdvance("messages generated internally by syslogd"));
    m_Page.AddMessage(A1, "<34>Oct 11 22:14:16 sw1 second");
    m_Page.show();
    EXPECT_TRUE(QTest::qWaitFor([&] { return header->sectionSize(1) > metrics.horizontalAdvance("security/authorization messages"); }));
    EXPECT_GT(header->sectionSize(2), metrics.horizontalAdvance("Informational"));
    EXPECT_GT(header->sectionSize(3), metrics.horizontalAdvance("255.255.255.255"));
}

TEST_F(SyslogPage, TheMessageColumnFillsTheViewAndAWideMessageScrollsInsteadOfBeingCut)
{
    m_Page.resize(700, 400);
    m_Page.show();
    QTableView* view = m_Page.ListView();
    QHeaderView* header = view->horizontalHeader();
    const int message = header->count() - 1;
    ASSERT_TRUE(QTest::qWaitFor([&] { return header->sectionViewportPosition(message) + header->sectionSize(message) >= view->viewport()->width(); }));

    const QString text = QString(300, QLatin1Char('x'));
    m_Page.AddMessage(A1, ("<190>Oct 11 22:14:15 sw1 " + text).toLatin1().constData());
    const int wanted = m_Page.fontMetrics().horizontalAdvance(text);
    EXPECT_TRUE(QTest::qWaitFor([&] { return header->sectionSize(message) >= wanted; }));
    EXPECT_GT(header->length(), view->viewport()->width());
}

TEST_F(SyslogPage, ListsMessagesInArrivalOrderButExportsBySender)
{
    m_Page.AddMessage(A2, "<190>Oct 11 22:14:15 sw2 first");
    m_Page.AddMessage(A1, "<34>Oct 11 22:14:16 sw1 second");
    m_Page.AddMessage(A2, "no header");
    EXPECT_EQ(m_Page.NumLabel()->text(), QStringLiteral("3"));
    ASSERT_EQ(m_Page.ListView()->model()->rowCount(), 3);
    EXPECT_EQ(Cell(m_Page, 0, 0), QStringLiteral("1"));
    EXPECT_EQ(Cell(m_Page, 0, 1), QStringLiteral("local use"));
    EXPECT_EQ(Cell(m_Page, 0, 2), QStringLiteral("Informational"));
    EXPECT_EQ(Cell(m_Page, 0, 3), QStringLiteral("10.0.0.2"));
    EXPECT_EQ(Cell(m_Page, 0, 6), QStringLiteral("first"));
    EXPECT_EQ(Cell(m_Page, 2, 2), QStringLiteral("Error"));
    EXPECT_EQ(Cell(m_Page, 2, 6), QStringLiteral("no header"));

    SaveTo(PathOf("syslog.xls"));
    ASSERT_TRUE(m_Page.EventOnSaveClick());
    TExport x = ReadExport(PathOf("syslog.xls"));
    ASSERT_TRUE(x.wellFormed);
    EXPECT_EQ(x.declaration, QStringLiteral("<?xml version=\"1.0\"?>"));
    EXPECT_EQ(x.root, QStringLiteral("Syslog"));
    ASSERT_EQ(x.entries.size(), 3u);
    EXPECT_EQ(x.entries[0].attribute(QStringLiteral("EventId")), QStringLiteral("2"));
    EXPECT_EQ(Child(x.entries[0], "Address"), QStringLiteral("10.0.0.1"));
    EXPECT_EQ(Child(x.entries[0], "Severity"), QStringLiteral("2"));
    EXPECT_EQ(Child(x.entries[0], "Message"), QStringLiteral("second"));
    EXPECT_FALSE(Child(x.entries[0], "Time").isEmpty());
    EXPECT_EQ(x.entries[1].attribute(QStringLiteral("EventId")), QStringLiteral("1"));
    EXPECT_EQ(Child(x.entries[1], "Facility"), QStringLiteral("23"));
    EXPECT_EQ(Child(x.entries[2], "Message"), QStringLiteral("no header"));
    // Saving marks nothing read.
    TSyslogList list;
    m_Page.Query(0, &list, false);
    for (const auto& node : list)
        EXPECT_FALSE(node.read);
}

TEST_F(SyslogPage, EmptyStoreExportsARootWithoutEntries)
{
    SaveTo(PathOf("empty.xml"));
    ASSERT_TRUE(m_Page.EventOnSaveClick());
    TExport x = ReadExport(PathOf("empty.xml"));
    EXPECT_TRUE(x.wellFormed);
    EXPECT_EQ(x.root, QStringLiteral("Syslog"));
    EXPECT_TRUE(x.entries.empty());
}

TEST_F(SyslogPage, ControlCharactersNeverMakeTheExportIllFormed)
{
    m_Page.AddMessage(A1, "bell\x07 esc\x1b[0m ff\x0c <tag> & \"q\" tab\there\r\nnext");
    m_Page.AddMessage(A1, "\xff\xfe latin bytes \x80");
    SaveTo(PathOf("ctrl.xml"));
    ASSERT_TRUE(m_Page.EventOnSaveClick());
    TExport x = ReadExport(PathOf("ctrl.xml"));
    ASSERT_TRUE(x.wellFormed);
    ASSERT_EQ(x.entries.size(), 2u);
    const QString text = Child(x.entries[0], "Message");
    EXPECT_TRUE(text.startsWith(QStringLiteral("bell\uFFFD esc\uFFFD[0m ff\uFFFD <tag> & \"q\" tab\there")));
    EXPECT_TRUE(text.endsWith(QStringLiteral("next")));
}

TEST_F(SyslogPage, FailedSaveIsReportedAndLeavesNoFile)
{
    m_Page.AddMessage(A1, "x");
    TBoxAnswer boxes(QMessageBox::Ok);
    const QString path = PathOf("missing/dir/out.xls");
    SaveTo(path);
    EXPECT_FALSE(m_Page.EventOnSaveClick());
    ASSERT_EQ(boxes.m_Boxes.size(), 1u);
    EXPECT_EQ(boxes.m_Boxes[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(QFile::exists(path));
}

TEST_F(SyslogPage, ClearAfterYesOnlyClearsWhenTheSaveSucceeded)
{
    m_Page.AddMessage(A1, "keep me");
    TBoxAnswer boxes(QMessageBox::Yes);

    // Save dialog cancelled.
    m_Page.SetSaveFileNameHook([] { return QString(); });
    m_Page.EventOnClearClick();
    EXPECT_EQ(m_Page.Store().Size(), 1u);
    ASSERT_EQ(boxes.m_Boxes.size(), 1u);
    EXPECT_EQ(boxes.m_Boxes[0].text, QStringLiteral("Would you like to save these messages?"));
    EXPECT_EQ(boxes.m_Boxes[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);

    // Save failed.
    SaveTo(PathOf("missing/out.xls"));
    m_Page.EventOnClearClick();
    EXPECT_EQ(m_Page.Store().Size(), 1u);
    EXPECT_EQ(m_Page.NumLabel()->text(), QStringLiteral("1"));

    // Saved.
    SaveTo(PathOf("saved.xls"));
    m_Page.EventOnClearClick();
    EXPECT_EQ(m_Page.Store().Size(), 0u);
    EXPECT_EQ(m_Page.NumLabel()->text(), QStringLiteral("0"));
    EXPECT_EQ(m_Page.ListView()->model()->rowCount(), 0);
    EXPECT_EQ(ReadExport(PathOf("saved.xls")).entries.size(), 1u);
}

TEST_F(SyslogPage, ClearAnswersNoAndCancel)
{
    m_Page.AddMessage(A1, "a");
    bool asked = false;
    m_Page.SetSaveFileNameHook([&] {
        asked = true;
        return QString();
    });
    {
        TBoxAnswer cancel(QMessageBox::Cancel);
        m_Page.EventOnClearClick();
        EXPECT_EQ(m_Page.Store().Size(), 1u);
    }
    {
        TBoxAnswer no(QMessageBox::No);
        m_Page.EventOnClearClick();
        EXPECT_EQ(m_Page.Store().Size(), 0u);
    }
    EXPECT_FALSE(asked);
}

TEST_F(SyslogPage, DoubleClickOpensTheSendersMessagesAndMarksThemRead)
{
    m_Page.AddMessage(A1, "one");
    m_Page.AddMessage(A2, "other");
    m_Page.AddMessage(A1, "two");
    m_Page.AddMessage(A1, "three");
    int shown = 0;
    m_Page.SetShowFormHook([&](TSyslogForm& form) {
        ++shown;
        EXPECT_EQ(form.windowTitle(), QStringLiteral("10.0.0.1"));
        ASSERT_EQ(form.RowCount(), 3);
        EXPECT_EQ(form.SelectedRow(), 1);
        EXPECT_EQ(form.EventIdAt(form.SelectedRow()), 3u);
        EXPECT_EQ(form.m_Memo->toPlainText(), QStringLiteral("two"));
    });

    m_Page.EventOnListViewDblClick(); // nothing selected
    EXPECT_EQ(shown, 0);

    m_Page.ListView()->selectRow(2);
    m_Page.EventOnListViewDblClick();
    EXPECT_EQ(shown, 1);
    TSyslogList list;
    m_Page.Query(A1, &list, false);
    for (const auto& node : list)
        EXPECT_TRUE(node.read);
    TSyslogList other;
    m_Page.Query(A2, &other, false);
    EXPECT_FALSE(other.front().read);
}

TEST_F(SyslogPage, StaysResponsiveWithOneHundredThousandMessages)
{
    m_Page.resize(800, 600);
    m_Page.show();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < 100000; ++i) {
        const std::string text = "<190>Oct 11 22:14:15 sw msg " + std::to_string(i);
        m_Page.AddMessage(A1 + std::uint32_t(i % 50), text.c_str());
    }
    const qint64 adding = timer.restart();
    m_Page.ListView()->scrollToBottom();
    QCoreApplication::processEvents();
    m_Page.repaint();
    const qint64 painting = timer.elapsed();
    EXPECT_EQ(m_Page.NumLabel()->text(), QStringLiteral("100000"));
    EXPECT_EQ(Cell(m_Page, 99999, 6), QStringLiteral("msg 99999"));
    // Generous bounds that only a per-row cost growing with the list breaks.
    EXPECT_LT(adding, 20000) << "adding took " << adding << " ms";
    EXPECT_LT(painting, 2000) << "painting took " << painting << " ms";
    std::printf("100,000 messages: added in %lld ms, scrolled and painted in %lld ms\n", (long long)adding,
        (long long)painting);
}

TEST(SyslogFlood, AnUnthrottledBurstIsStoredWholeAndInOrder)
{
    TSyslogFrame page;
    TSyslogSocketThread queue([&] { return static_cast<Syslog::TSyslogServer*>(&page); });
    ASSERT_TRUE(queue.Open(0, QHostAddress::LocalHost)) << queue.ErrorString().toStdString();
    constexpr int Count = 20000;
    // A burst this size needs about 16 MiB of kernel buffer should the
    // listener be descheduled throughout; the system may cap it lower.
    if (queue.ReceiveBufferSize() < 16 * 1024 * 1024)
        GTEST_SKIP() << "receive buffer capped at " << queue.ReceiveBufferSize() << " bytes (net.core.rmem_max)";
    std::atomic<std::size_t> stored{0};
    std::thread sender([port = queue.LocalPort()] {
        TLoopbackSender out(port);
        for (int i = 0; i < Count; ++i)
            out.Send("<13>Oct 11 22:14:15 flood " + std::to_string(i));
    });
    const bool all = QTest::qWaitFor(
        [&] {
            stored = page.Store().Size();
            return stored >= std::size_t(Count);
        },
        60000);
    sender.join();
    ASSERT_TRUE(all) << "stored " << page.Store().Size() << " of " << Count;
    EXPECT_EQ(page.Store().Size(), std::size_t(Count));
    for (int i = 0; i < Count; ++i) {
        const auto& record = page.Store().Record(std::size_t(i));
        ASSERT_EQ(record.Message(), std::to_string(i)) << "row " << i;
        ASSERT_EQ(record.eventId, std::uint32_t(i + 1));
        ASSERT_EQ(record.address, 0x7F000001u);
    }
}

TEST_F(SyslogPage, TheCountTellsMessagesDroppedInTheQueueAndLostInTheKernel)
{
    EXPECT_EQ(m_Page.NumLabel()->text(), QStringLiteral("0"));
    m_Page.SetKernelDropped(12);
    EXPECT_EQ(m_Page.NumLabel()->text(), QStringLiteral("0 (12 lost in a full receive buffer)"));
    m_Page.SetQueueDropped(3);
    EXPECT_EQ(m_Page.NumLabel()->text(),
              QStringLiteral("0 (3 older messages dropped, 12 lost in a full receive buffer)"));
}
