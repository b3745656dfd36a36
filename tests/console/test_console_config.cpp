// The configuration file: its document, the reader's rules and the file itself.
#include "console/ConfigFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t Host = 0xFFFFFFFFu;

Filter::TFilterSettings Read(const QByteArray& filters, const QByteArray& values = "<Method>1</Method>")
{
    Filter::TFilterSettings settings;
    settings.Method = 77;  // overwritten by a successful read
    const QByteArray doc = "<Config><Discovery>" + values + "<Filters>" + filters + "</Filters></Discovery></Config>";
    EXPECT_EQ(ReadConfigDocument(doc, settings), crRead) << doc.constData();
    return settings;
}

}  // namespace

TEST(ConfigFile, WritesTheDocumentAndReadsTheSettingsBack)
{
    Filter::TFilterSettings settings;
    settings.Method = 0;
    settings.Address = 0xC0A80114;
    settings.Mask = 0xFFFFFF00;
    settings.Begin = 0xC0A80100;
    settings.End = 0xC0A801FF;
    settings.Unicasts = {{0x0A000005, Host}, {0x0A000002, Host}};
    settings.LocalSubnets = {{0xC0A80114, 0xFFFFFF00}, {0xAC100001, 0xFFFF0000}};
    const std::vector<TConfigDevice> devices = {{"02:00:00:00:00:01", "Larch <8> & Co", 0x0A000001},
                                                {"02:00:00:00:00:02", QString(), 0}};
    const QByteArray written = WriteConfigDocument(settings, devices);
    EXPECT_EQ(written.toStdString(),
              "<?xml version=\"1.0\"?>\n"
              "<Config>\n"
              "  <Discovery>\n"
              "    <Method>0</Method>\n"
              "    <Address>192.168.1.20</Address>\n"
              "    <Mask>255.255.255.0</Mask>\n"
              "    <BeginAddr>192.168.1.0</BeginAddr>\n"
              "    <EndAddr>192.168.1.255</EndAddr>\n"
              "    <Filters>\n"
              "      <Filter Address=\"10.0.0.5\"/>\n"
              "      <Filter Address=\"10.0.0.2\"/>\n"
              "      <Filter Address=\"192.168.1.20\" Mask=\"255.255.255.0\"/>\n"
              "      <Filter Address=\"172.16.0.1\" Mask=\"255.255.0.0\"/>\n"
              "    </Filters>\n"
              "  </Discovery>\n"
              "  <Devices>\n"
              "    <Device MacAddr=\"02:00:00:00:00:01\">\n"
              "      <Type>Larch &lt;8&gt; &amp; Co</Type>\n"
              "      <Address>10.0.0.1</Address>\n"
              "      <Properties/>\n"
              "    </Device>\n"
              "    <Device MacAddr=\"02:00:00:00:00:02\">\n"
              "      <Properties/>\n"
              "    </Device>\n"
              "  </Devices>\n"
              "</Config>\n");

    Filter::TFilterSettings read;
    ASSERT_EQ(ReadConfigDocument(written, read), crRead);
    EXPECT_EQ(read.Method, settings.Method);
    EXPECT_EQ(read.Address, settings.Address);
    EXPECT_EQ(read.Mask, settings.Mask);
    EXPECT_EQ(read.Begin, settings.Begin);
    EXPECT_EQ(read.End, settings.End);
    EXPECT_EQ(read.Unicasts, settings.Unicasts);
    EXPECT_EQ(read.LocalSubnets, settings.LocalSubnets);

    // Empty lists are still written, and read back empty.
    const QByteArray empty = WriteConfigDocument(Filter::TFilterSettings(), {});
    EXPECT_TRUE(empty.contains("<Filters/>") && empty.contains("<Devices/>")) << empty.constData();
    read.LocalSubnets = settings.LocalSubnets;
    ASSERT_EQ(ReadConfigDocument(empty, read), crRead);
    EXPECT_TRUE(read.LocalSubnets.empty() && read.Unicasts.empty());
}

TEST(ConfigFile, ClassifiesFilterEntriesByTheirMask)
{
    const Filter::TFilterSettings read = Read(
        "<Filter Address=\"10.0.0.1\"/>"                          // no mask: unicast
        "<Filter Address=\"10.0.0.2\" Mask=\"255.255.255.255\"/>"  // host mask: unicast
        "<Filter Address=\"10.0.0.3\" Mask=\"255.255.0.255\"/>"    // not a mask: skipped
        "<Filter Address=\"127.0.0.1\"/>"                         // not a host: skipped
        "<Filter Address=\"10.0.0.4\" Mask=\"none\"/>"             // unparsable reads as 255.255.255.255
        "<Filter Address=\"10.0.0.5\" Mask=\"0.0.0.0\"/>"          // skipped
        "<Filter Mask=\"255.0.0.0\"/>"                            // no address: skipped
        "<Filter Address=\"garbage\"/>"                           // skipped
        "<Entry Address=\"10.0.0.6\"/>"                           // any element name
        "<Filter Address=\"10.1.2.3\" Mask=\"255.255.0.0\"/>"      // a local subnet
        "text between <!-- and comments -->"
        "<Filter Address=\"10.0.0.7\"/>");
    EXPECT_EQ(read.Unicasts, (TIpMaskList{{0x0A000001, Host}, {0x0A000002, Host}, {0x0A000004, Host},
                                          {0x0A000006, Host}, {0x0A000007, Host}}));
    EXPECT_EQ(read.LocalSubnets, (TIpMaskList{{0x0A010203, 0xFFFF0000}}));
}

// Addresses read as inet_addr reads them: plain quads, and the forms it
// also takes (octal, hexadecimal, fewer parts, text after a space).
TEST(ConfigFile, ReadsAddressesAsInetAddrDoes)
{
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"10.0.0.1", 0x0A000001},     {"192.168.1.255", 0xC0A801FF}, {"0.1.2.3", 0x00010203},
        {"255.255.255.254", 0xFFFFFFFE}, {"010.0.0.1", 0x08000001}, {"10.0.0.01", 0x0A000001},
        {"0x0A.0.0.2", 0x0A000002},   {"10.2", 0x0A000002},         {"10.0.0.3 junk", 0x0A000003},
        {"10.0.0.256", 0},            {"10.0.0.09", 0},             {"1.2.3.4.5", 0},
        {"10..0.1", 0},               {"10.0.0.", 0},               {".10.0.0", 0},
        {"1000.0.0.1", 0},            {"10.0.0.1x", 0},
    };
    for (const auto& [text, address] : cases) {
        const TIpMaskList read = Read(QByteArray("<Filter Address=\"") + text + "\"/>").Unicasts;
        const TIpMaskList expected = address ? TIpMaskList{{address, Host}} : TIpMaskList{};
        EXPECT_EQ(read, expected) << text;
    }
}

TEST(ConfigFile, MissingOrBadValuesKeepTheDefaults)
{
    Filter::TFilterSettings read = Read("", "<Address>10.0.0.1</Address><BeginAddr>junk</BeginAddr>");
    EXPECT_EQ(read.Method, Filter::fmCustom);
    EXPECT_EQ(read.Address, 0x0A000001u);
    EXPECT_EQ(read.Mask, 0u);
    EXPECT_EQ(read.Begin, 0xFFFFFFFFu);  // not parsed: no further check
    EXPECT_EQ(read.End, 0xFFFFFFFFu);
    EXPECT_EQ(Read("", "<Method>abc</Method>").Method, Filter::fmCustom);
    EXPECT_EQ(Read("", "<Method> 1 </Method>").Method, Filter::fmGateway);
    EXPECT_EQ(Read("", "<Method>258</Method>").Method, 2);  // kept in 8 bits

    // A document of another root name is read; one without "Discovery" changes nothing.
    Filter::TFilterSettings kept;
    kept.Method = 0;
    EXPECT_EQ(ReadConfigDocument("<Other><Discovery><Method>1</Method></Discovery></Other>", kept), crRead);
    EXPECT_EQ(kept.Method, 1);
    EXPECT_EQ(ReadConfigDocument("<Config><Devices/></Config>", kept), crNoDiscovery);
    EXPECT_EQ(kept.Method, 1);
    for (const char* bad : {"", "not xml", "<Config><Discovery></Config>", "<a/><b/>"})
        EXPECT_EQ(ReadConfigDocument(bad, kept), crFailed) << bad;
    EXPECT_EQ(kept.Method, 1);
}

TEST(ConfigFile, RefusesMoreEntriesThanAFilterHolds)
{
    QByteArray filters;
    for (std::size_t i = 0; i <= kMaxConfigEntries; ++i)
        filters += "<Filter Address=\"" + QByteArray::fromStdString(IpToString(0x0A000001 + std::uint32_t(i))) + "\"/>";
    Filter::TFilterSettings settings;
    EXPECT_EQ(ReadConfigDocument("<Config><Discovery><Filters>" + filters + "</Filters></Discovery></Config>",
                                 settings),
              crFailed);
    EXPECT_TRUE(settings.Unicasts.empty());
}

TEST(ConfigFile, IgnoresElementsBeyondTheFormatButRefusesTagsOfManyAttributes)
{
    Filter::TFilterSettings settings;
    // An element more inside a Device, or in a Filter, is ignored; 40,000 attributes are not.
    EXPECT_EQ(ReadConfigDocument("<C><Discovery><Method>1<b/></Method><Filters><F Address='10.0.0.2'><x/></F>"
                                 "</Filters></Discovery><Devices><Device MacAddr='00:00:00:00:00:01'><Properties>"
                                 "<Extra><More/></Extra></Properties></Device></Devices></C>",
                                 settings),
              crRead);
    EXPECT_EQ(settings.Method, 1);
    EXPECT_EQ(settings.Unicasts, (TIpMaskList{{0x0A000002, Host}}));
    QByteArray many;
    for (int i = 0; i < 40000; ++i)
        many += " a" + QByteArray::number(i) + "=''";
    EXPECT_EQ(ReadConfigDocument("<C><Discovery><Filters><F" + many + "/></Filters></Discovery></C>", settings),
              crFailed);
    // A quoted "=" is no attribute.
    EXPECT_EQ(ReadConfigDocument("<C><Discovery><Filters><F Address='10.0.0.1' Note='" + QByteArray(20, '=') +
                                     "'/></Filters></Discovery></C>", settings),
              crRead);
    EXPECT_EQ(settings.Unicasts.size(), 1u);
}

TEST(ConfigFile, SavingWritesAsideAndReadingRefusesWhatItCannotRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("Config.xml");
    QString error;
    ASSERT_TRUE(SaveConfigFile(path, "<Config/>", &error)) << error.toStdString();
    ASSERT_TRUE(SaveConfigFile(path, "<Config><Devices/></Config>", &error));
    QByteArray bytes;
    ASSERT_TRUE(ReadConfigFile(path, bytes));
    EXPECT_EQ(bytes, "<Config><Devices/></Config>");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Config.xml"});  // no file left aside

    // A target that can't be replaced keeps what it was.
    EXPECT_FALSE(SaveConfigFile(dir.filePath("missing/Config.xml"), "<Config/>", &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder"));
    EXPECT_FALSE(SaveConfigFile(dir.filePath("folder"), "<Config/>", &error));
    EXPECT_TRUE(QFileInfo(dir.filePath("folder")).isDir());

    // A missing file, a folder and a file over the size cap are not read.
    for (const QString& name : {QString("none.xml"), QString("folder")})
        EXPECT_FALSE(ReadConfigFile(dir.filePath(name), bytes)) << name.toStdString();
    QFile big(dir.filePath("big.xml"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly) && big.resize(kMaxConfigFileSize + 1));
    big.close();
    EXPECT_FALSE(ReadConfigFile(big.fileName(), bytes));
    EXPECT_EQ(bytes, "<Config><Devices/></Config>");
}
