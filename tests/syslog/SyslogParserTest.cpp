#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

#include "syslog/core/SyslogParser.h"

using namespace Syslog;

namespace {

constexpr TDateTime FixedNow = 42;
constexpr TDateTime Ms = 1000;
constexpr TDateTime Day = 86400 * Ms;
constexpr int CommonYear = 2023;
constexpr int LeapYear = 2024;
// 1 January 2023 00:00:00 UTC.
constexpr TDateTime Base = 1'672'531'200 * Ms;

// Header times are local times: the time zone of a test is set by hand.
void SetZone(const char* zone)
{
    setenv("TZ", zone, 1);
    tzset();
}

struct TParsed {
    TSyslogListNode node;
    bool ok;
};

TParsed Parse(std::string_view text, bool leap = false)
{
    SetZone("UTC0");
    TParsed r;
    r.node.host = "before";
    r.ok = ParseInto(text, r.node, TYearBase{leap ? LeapYear : CommonYear}, FixedNow);
    return r;
}

} // namespace

TEST(SyslogParser, ClassicHeaderGivesPriorityHostAndMessage)
{
    auto r = Parse("<34>Oct 11 22:14:15 mymachine su: 'su root' failed");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.node.facility, 4);
    EXPECT_EQ(r.node.severity, 2);
    EXPECT_STREQ(FacilityName(r.node.facility), "security/authorization messages");
    EXPECT_STREQ(SeverityName(r.node.severity), "Critical");
    EXPECT_EQ(r.node.host, "mymachine");
    EXPECT_EQ(r.node.message, "su: 'su root' failed");
    // 1 Oct is day 273 of a common year.
    EXPECT_EQ(r.node.timestamp, Base + (273 + 10) * Day + (22 * 3600 + 14 * 60 + 15) * Ms);
}

TEST(SyslogParser, PriorityAndTimeOfParsedHeaders)
{
    struct TCase {
        const char* text;
        bool leap;
        int facility, severity;
        TDateTime timestamp;
    } cases[] = {
        // Two blanks mean a one-digit day.
        {"<13>Feb  5 01:02:03 host text", false, 1, 5, Base + (31 + 4) * Day + 3723 * Ms},
        // A priority above 191 keeps its facility when the header parses.
        {"<190>Jan  1 00:00:00 h m", false, 23, 6, Base},
        // Letters read as priority 0.
        {"<x>Mar 10 10:10:10 h m", false, 0, 0, Base + (59 + 9) * Day + 36610 * Ms},
        // A leap year shifts the days after February.
        {"<13>Mar  1 00:00:00 h m", true, 1, 5, Base + 365 * Day + 60 * Day},
    };
    for (const TCase& c : cases) {
        auto r = Parse(c.text, c.leap);
        ASSERT_TRUE(r.ok) << c.text;
        EXPECT_EQ(r.node.facility, c.facility) << c.text;
        EXPECT_EQ(r.node.severity, c.severity) << c.text;
        EXPECT_EQ(r.node.timestamp, c.timestamp) << c.text;
    }
}

// A failed header keeps the whole text, the host and the receive time; the
// priority stays when it was read, else it is local use / error.
TEST(SyslogParser, FailedHeadersKeepTheTextAndAReadPriority)
{
    struct TCase {
        const char* text;
        int facility, severity;
    } cases[] = {
        {"<13>Feb 5 01:02:03 host text", 1, 5},   // one blank before a one-digit day
        {"<13>oct 11 22:14:15 host msg", 1, 5},   // months are case-sensitive
        {"<13>Oct 11 22:14:15 lastword", 1, 5},   // no blank after the host
        {"<191>no header here", 16, 3},
        {"<-8>Mar 10 10:10:10 h m", 16, 3},       // a negative priority fails at once
        {"plain text", 16, 3},
        {"", 16, 3},
    };
    for (const TCase& c : cases) {
        auto r = Parse(c.text);
        EXPECT_FALSE(r.ok) << c.text;
        EXPECT_EQ(r.node.facility, c.facility) << c.text;
        EXPECT_EQ(r.node.severity, c.severity) << c.text;
        EXPECT_EQ(r.node.message, c.text);
        EXPECT_EQ(r.node.host, "before");
        EXPECT_EQ(r.node.timestamp, FixedNow) << c.text;
    }
}

TEST(SyslogParser, OutOfRangeFieldsRollOver)
{
    auto a = Parse("<13>Jan 32 23:60:00 h m");
    auto b = Parse("<13>Feb  2 00:00:00 h m");
    ASSERT_TRUE(a.ok && b.ok);
    EXPECT_EQ(a.node.timestamp, b.node.timestamp);
}

TEST(SyslogParser, TheTimeStampIsTheLocalTimeOfItsFieldsAlsoInSummer)
{
    // Central European time: UTC+1 in winter, UTC+2 from the last Sunday of
    // March to the last Sunday of October.
    SetZone("CET-1CEST,M3.5.0,M10.5.0/3");
    const std::pair<const char*, std::tm> cases[] = {
        {"<13>Jan 15 08:30:00 h m", {0, 30, 8, 15, 0, CommonYear - 1900, 0, 0, 0, 0, nullptr}},
        {"<13>Jul 11 22:14:15 h m", {15, 14, 22, 11, 6, CommonYear - 1900, 0, 0, 0, 0, nullptr}},
        // Rolled over into the summer: 31 March 24:00 is 1 April 00:00.
        {"<13>Mar 31 24:00:00 h m", {0, 0, 0, 1, 3, CommonYear - 1900, 0, 0, 0, 0, nullptr}},
    };
    for (const auto& [text, want] : cases) {
        TSyslogListNode node;
        ASSERT_TRUE(ParseInto(text, node, TYearBase{CommonYear}, FixedNow)) << text;
        const std::time_t t = std::time_t(node.timestamp / Ms);
        std::tm local{};
        localtime_r(&t, &local);
        EXPECT_EQ(local.tm_year, want.tm_year) << text;
        EXPECT_EQ(local.tm_mon, want.tm_mon) << text;
        EXPECT_EQ(local.tm_mday, want.tm_mday) << text;
        EXPECT_EQ(local.tm_hour, want.tm_hour) << text;
        EXPECT_EQ(local.tm_min, want.tm_min) << text;
        EXPECT_EQ(local.tm_sec, want.tm_sec) << text;
    }
    // 11 July 22:14:15 summer time is 20:14:15 UTC.
    TSyslogListNode summer;
    ASSERT_TRUE(ParseInto("<13>Jul 11 22:14:15 h m", summer, TYearBase{CommonYear}, FixedNow));
    EXPECT_EQ(summer.timestamp, Base + (181 + 10) * Day + (20 * 3600 + 14 * 60 + 15) * Ms);
    // The same header again once the zone changed is converted anew.
    SetZone("UTC0");
    ASSERT_TRUE(ParseInto("<13>Jul 11 22:14:15 h m", summer, TYearBase{CommonYear}, FixedNow));
    EXPECT_EQ(summer.timestamp, Base + (181 + 10) * Day + (22 * 3600 + 14 * 60 + 15) * Ms);
}

// Each local hour's UTC offset is kept: hours a change of summer time
// touches must still convert as the zone has it, warm or cold.
TEST(SyslogParser, TimeStampsAroundSummerTimeChanges)
{
    constexpr TDateTime Hour = 3600 * Ms, Minute = 60 * Ms;
    constexpr TDateTime Mar26 = Base + 84 * Day, Oct29 = Base + 301 * Day; // 00:00 UTC
    // Summer time from 02:00 winter time to 03:00 on 26 March, back from
    // 03:00 to 02:00 on 29 October.
    const char* cet = "CET-1CEST,M3.5.0,M10.5.0/3";
    // Half an hour of summer time, changed inside the hour: 02:00 becomes
    // 02:30, and 03:30 becomes 03:00 again.
    const char* half = "XST-1XDT-1:30,M3.5.0,M10.5.0/3:30";
    const struct {
        const char* zone;
        const char* text;
        TDateTime utc;
    } cases[] = {
        {cet, "<13>Mar 26 00:30:00 h m", Mar26 - 30 * Minute},
        {cet, "<13>Mar 26 01:59:59 h m", Mar26 + 59 * Minute + 59 * Ms},
        {cet, "<13>Mar 26 03:00:00 h m", Mar26 + Hour},
        {cet, "<13>Mar 26 03:59:59 h m", Mar26 + Hour + 59 * Minute + 59 * Ms},
        {cet, "<13>Oct 29 01:00:00 h m", Oct29 - Hour},
        {cet, "<13>Oct 29 03:00:00 h m", Oct29 + 2 * Hour},
        {cet, "<13>Oct 29 04:30:00 h m", Oct29 + 3 * Hour + 30 * Minute},
        {half, "<13>Mar 26 01:50:00 h m", Mar26 + 50 * Minute},
        {half, "<13>Mar 26 02:45:00 h m", Mar26 + Hour + 15 * Minute},
        {half, "<13>Oct 29 03:10:00 h m", -1}, // occurs twice
        {half, "<13>Oct 29 03:45:00 h m", Oct29 + 2 * Hour + 45 * Minute},
    };
    for (const char* zone : {cet, half}) {
        SetZone(zone);
        for (int pass = 0; pass < 2; ++pass) {
            for (const auto& c : cases) {
                if (c.zone != zone)
                    continue;
                TSyslogListNode node;
                ASSERT_TRUE(ParseInto(c.text, node, TYearBase{CommonYear}, FixedNow)) << c.text;
                if (c.utc >= 0) {
                    EXPECT_EQ(node.timestamp, c.utc) << zone << " " << c.text << " pass " << pass;
                }
            }
        }
    }
}

TEST(SyslogParser, TextIsCutAtFirstNul)
{
    const std::string text("<13>Oct 11 22:14:15 host abc\0def", 32);
    auto r = Parse(text);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.node.message, "abc");
}

TEST(SyslogParser, TruncatedHeadersFailInsideTheText)
{
    // Each would step past the end with fixed-width skips.
    const char* cuts[] = {"<13>Feb 5", "<13>Feb 15 1", "<13>Feb 15 12:3", "<13>Feb 15 12:34:5", "<13>Feb", "<13>Fe",
        "<13", "<", "<13>Feb  ", "<13>Feb 15 12:34:56"};
    for (const char* cut : cuts) {
        std::string exact(cut); // heap copy of exactly the bytes, so ASan sees overruns
        auto r = Parse(std::string_view(exact.data(), exact.size()));
        EXPECT_FALSE(r.ok) << cut;
        EXPECT_EQ(r.node.message, exact);
    }
}

TEST(SyslogParser, OverlongPrioritySaturatesInsteadOfOverflowing)
{
    auto r = Parse("<99999999999999999999>Oct 11 22:14:15 h m");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.node.facility, INT_MAX / 8);
    auto bad = Parse("<99999999999999999999>nothing");
    EXPECT_EQ(bad.node.facility, 16);
    auto neg = Parse("<-99999999999999999999>Oct 11 22:14:15 h m");
    EXPECT_FALSE(neg.ok);
    EXPECT_EQ(neg.node.facility, 16);
}

TEST(SyslogParser, OverlongTimeFieldsDoNotOverflow)
{
    auto r = Parse("<13>Oct 99999999999 99999999999 h m");
    EXPECT_FALSE(r.ok); // fixed widths land inside the digits
    auto big = Parse("<13>Oct 99 99:99:99 h m");
    ASSERT_TRUE(big.ok);
    EXPECT_EQ(big.node.timestamp, Base + (273 + 98) * Day + (99 * 3600 + 99 * 60 + 99) * Ms);
}

TEST(SyslogNames, TablesCoverEveryIndex)
{
    EXPECT_STREQ(FacilityName(0), "kernel messages");
    EXPECT_STREQ(FacilityName(15), "clock daemon");
    EXPECT_STREQ(FacilityName(16), "local use");
    EXPECT_STREQ(FacilityName(1000), "local use");
    EXPECT_STREQ(SeverityName(0), "Emergency");
    EXPECT_STREQ(SeverityName(7), "Debug");
    EXPECT_EQ(SeverityName(8), nullptr);
}

TEST(SyslogNames, AddressTextIsDottedDecimal)
{
    EXPECT_EQ(AddressText(0x0A000102), "10.0.1.2");
    EXPECT_EQ(AddressText(0xFFFFFFFF), "255.255.255.255");
}
