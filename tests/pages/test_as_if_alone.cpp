// Every change of every page reaches each selected switch as if made on
// that switch's own page: the switch on show and the targets are selected
// and a control is pressed; then each target's own page, its controls set
// to what the first page shows, presses the same control. The target must
// take exactly what its own page sends, or, where its own page can't do
// it, be named as not changed and sent nothing.
//
// The expected side is the test's own: its world knows which read it failed
// on which switch, which generation each model has (the threshold it set)
// and each model's counts, so "not available" and "another generation" come
// from the world, never from the code under test; a target is named only
// for a reason of the kind the world gives. Each page runs over 100
// worlds, each drawn from a seed: AS_IF_ALONE_SEEDS=n runs n of them,
// AS_IF_ALONE_SEED=k only world k (a failure names its world),
// AS_IF_ALONE_STEP=s every s-th world (the sanitized build's are 0 and 5),
// AS_IF_ALONE_FIRST_FAILURE=1 stops a page at its first failing world. Every world
// has each edge kind of TEdge on its targets and its switch on show; random
// values fill the rest. The worlds go round each domain: every read outcome
// (refused with each status, timed out, never answered; a first read or one
// after a good read), a count of none and of one of each model count, a
// page that showed another switch first, fields set by the program and
// typed by the user, texts empty, full and of every byte.
//
// Beside it, on every page that sends: an Apply with nothing edited sends
// the switch on show what it read, each record and row byte for byte,
// alone or with the targets; lines a user unticks come back unticked, and
// a field typed over comes back as typed, every other as it was. On every
// page a row selected fills the fields captioned as its columns with what
// it shows.

#include "OracleKit.h"
#include "PageTestKit.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageTree.h"
#include "intp/Ports.h"
#include "intp/Vlan.h"
#include "intp/Warning.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QAbstractSpinBox>
#include <QListWidget>
#include <QRegularExpression>
#include <QWidget>

#include <array>
#include <iostream>
#include <map>
#include <numeric>
#include <optional>
#include <set>

using namespace Oracle;

void PrintTo(TPageId id, std::ostream* os) { *os << PageIdName(id); }

namespace {

// The model counts a page may use.
struct TCounts {
    std::uint32_t ports = 8, groups = 2, members = 4, recipients = 4, communities = 4, secureIps = 10, tagVids = 16;
    TCounts WithPorts(std::uint32_t n) const
    {
        TCounts c = *this;
        c.ports = n;
        return c;
    }
};

// The most of a count a model declares.
constexpr std::uint32_t kLargest = 65535;

// The counts of a model, by name.
const struct {
    const char* name;
    std::uint32_t TCounts::*count;
} kCounts[] = {{"ports", &TCounts::ports},
               {"trunk groups", &TCounts::groups},
               {"trunk members", &TCounts::members},
               {"e-mail recipients", &TCounts::recipients},
               {"community slots", &TCounts::communities},
               {"secure IP places", &TCounts::secureIps},
               {"tag VIDs", &TCounts::tagVids}};

// The switch on show's counts in world: eight ports, and past 32 ports
// (forty, forty-eight) in turn; in every fourth world none or one of a
// count, each in turn (of ports one: with none a page has nothing to show).
TCounts Base(int world)
{
    TCounts c = TCounts().WithPorts(world % 6 == 2 ? 40 : world % 6 == 5 ? 48 : 8);
    if (world % 4 == 3) {
        std::uint32_t TCounts::*count = kCounts[std::size_t(world / 4) % std::size(kCounts)].count;
        c.*count = count == &TCounts::ports ? 1 : std::uint32_t(world / 28 % 2);
    }
    return c;
}

// The edges every world gives each page, by kind: what the coverage
// print counts targets by.
enum class TEdge {
    random,       // same model, values drawn
    nearOnly,     // entries each one value off a shown entry, not it
    nearBefore,   // those before the shown entry
    nearAfter,    // those after it
    identical,    // the shown entry alone
    hiddenFirst,  // its first, a middle or its last port "Port.XX"
    hiddenMiddle,
    hiddenLast,
    unshowable,    // a value past the page's choices in every row and field
    lowest,        // every value at the lowest the library takes
    highest,       // every value at the highest
    nearRecord,    // the switch on show's records, one value off
    full,          // its arrays full to the model's counts
    under,         // a model count one under the switch on show's
    over,          // one over
    farUnder,      // ports: four
    farOver,       // ports: sixteen
    ports40,       // ports: forty
    ports48,       // ports: forty-eight
    generation,    // the other generation
    zero,          // a model count 0 or 1
    largest,       // a model count at the most a model declares
    refused,       // a read refused, after a good one or the first
    firstTimeout,  // a read that times out, the first or after a good one
    never,         // a read never answered, the first or after a good one
    setRefused,    // its changes refused, or never answered
    trunkAtLimit,  // a trunk group at the member limit, a hidden member
    count
};

const char* const kEdgeNames[] = {"random",
                                  "near entries only",
                                  "near entries first",
                                  "near entries after",
                                  "identical entry",
                                  "first port hidden",
                                  "middle port hidden",
                                  "last port hidden",
                                  "unshowable values",
                                  "lowest values",
                                  "highest values",
                                  "record one value off",
                                  "arrays full",
                                  "one under",
                                  "one over",
                                  "four ports",
                                  "sixteen ports",
                                  "forty ports",
                                  "forty-eight ports",
                                  "other generation",
                                  "a count of none or one",
                                  "the most of a count",
                                  "read refused",
                                  "read timed out",
                                  "read never answered",
                                  "changes refused",
                                  "trunk group at its limit"};
static_assert(std::size(kEdgeNames) == std::size_t(TEdge::count));

// The statuses a switch refuses a read with, in turn.
constexpr std::uint16_t kRefusals[] = {1, 2, 3, 5, 0x7f, 0xfeff};

struct TTarget {
    QString kind;
    TCounts counts;
    int seed;
    TFailure failure = {};
    bool otherGeneration = false;
    TEdge edge = TEdge::random;
    TEdges edges = {};
};

// For each edge kind its targets: same-model switches with other values,
// near and identical entries, hidden ports, values past the page's
// choices, the switch on show's records one value off, full arrays; one
// under and one over of every count; the other generation;
// and for each record the page reads, its read refused after a good one,
// a first read timed out, and a read never answered. Seeds differ from
// world to world.
std::vector<TTarget> Targets(const std::set<std::uint16_t>& reads, int world)
{
    int seed = 2 + world * 100;
    const TCounts base = Base(world);
    std::vector<TTarget> targets;
    for (int i = 0; i < 2; ++i)
        targets.push_back({"same model", base, seed++});
    const std::pair<TEdge, TEdges> same[] = {
        {TEdge::nearOnly, {.entries = TEdges::nearOnly}},   {TEdge::nearBefore, {.entries = TEdges::nearBefore}},
        {TEdge::nearAfter, {.entries = TEdges::nearAfter}}, {TEdge::identical, {.entries = TEdges::identical}},
        {TEdge::hiddenFirst, {.hidden = TEdges::first}},    {TEdge::hiddenMiddle, {.hidden = TEdges::middle}},
        {TEdge::hiddenLast, {.hidden = TEdges::last}},      {TEdge::unshowable, {.unshowable = true}},
        {TEdge::lowest, {.extreme = TEdges::lowest}},       {TEdge::highest, {.extreme = TEdges::highest}},
        {TEdge::nearRecord, {.nearRecord = true}},          {TEdge::full, {.full = true}},
        {TEdge::trunkAtLimit, {.hidden = TEdges::middle, .trunkAtLimit = true}}};
    for (const auto& [edge, edges] : same)
        targets.push_back({QString("same model, ") + kEdgeNames[int(edge)], base, seed++, {}, false, edge, edges});
    for (const auto& c : kCounts)
        for (const bool more : {false, true}) {
            if (!more && base.*c.count == 0)
                continue;
            TTarget target{QString(more ? "one more of " : "one fewer of ") + c.name, base, seed++};
            target.counts.*c.count += more ? 1 : -1;
            target.edge = more ? TEdge::over : TEdge::under;
            targets.push_back(target);
        }
    // None or one of a count, each count in turn over the worlds.
    {
        const auto& c = kCounts[std::size_t(world) % std::size(kCounts)];
        const std::uint32_t n = world / int(std::size(kCounts)) % 2;
        TTarget target{QString(n ? "one of " : "no ") + c.name, base, seed++};
        target.counts.*c.count = n;
        target.edge = TEdge::zero;
        targets.push_back(target);
    }
    // The most of a count a model declares, each count in turn, in every
    // eighth world.
    if (world % 8 == 1) {
        const auto& c = kCounts[std::size_t(world / 8) % std::size(kCounts)];
        TTarget target{QString("the most ") + c.name, base, seed++};
        target.counts.*c.count = kLargest;
        target.edge = TEdge::largest;
        targets.push_back(target);
    }
    // Far from the model: four ports, or sixteen.
    TTarget far{world % 2 ? "four ports" : "sixteen ports", base.WithPorts(world % 2 ? 4u : 16u), seed++};
    far.edge = world % 2 ? TEdge::farUnder : TEdge::farOver;
    targets.push_back(far);
    // Past 32 ports: forty and forty-eight, a hidden port among the last.
    for (const std::uint32_t ports : {40u, 48u})
        targets.push_back({QString::number(ports) + " ports", base.WithPorts(ports), seed++, {}, false,
                           ports == 40 ? TEdge::ports40 : TEdge::ports48,
                           {.hidden = ports == 40 ? TEdges::last : TEdges::drawnPorts}});
    // Its changes refused: not logged in, a code of the switch's own, or
    // never answered.
    for (const std::uint16_t status : {std::uint16_t(Intp::ssNotLoggedIn), std::uint16_t(7), std::uint16_t(Intp::ssTimeout)})
        targets.push_back({QString::asprintf("its changes answered 0x%04x", status), base, seed++, {}, false,
                           TEdge::setRefused, {.refusal = status}});
    targets.push_back({"other generation", base, seed++, {}, true, TEdge::generation});
    // Each read refused (with each status in turn), timed out and never
    // answered: the first read, or the one after a good read, in turn.
    int r = 0;
    for (const std::uint16_t code : reads) {
        const QString read = QString::asprintf("0x%04x", code);
        const bool first = (world + r) % 2;
        const char* const when = first ? "first " : "after a good one ";
        const std::uint16_t status = kRefusals[std::size_t(world / 2 + r++) % std::size(kRefusals)];
        targets.push_back({QString("read of ") + read + ", " + when + "refused " + QString::number(status), base,
                           seed++, {code, status, first}, false, TEdge::refused});
        targets.push_back({QString("16 ports, read of ") + read + ", " + when + "timed out", base.WithPorts(16),
                           seed++, {code, Intp::ssTimeout, first}, false, TEdge::firstTimeout});
        targets.push_back({QString("read of ") + read + ", " + when + "never answered", base, seed++,
                           {code, kNever, first}, false, TEdge::never});
    }
    return targets;
}

// The switch on show's edges in world: near entries after the shown entry
// in even worlds, before it in odd ones; its hidden port drawn, first,
// middle or last in turn; values past the page's choices in every third
// row; a port one past its last; its arrays full in every other world (one
// world can't have full arrays and empty places at once).
TEdges ShownEdges(int world)
{
    TEdges edges;
    edges.entries = world % 2 ? TEdges::nearBefore : TEdges::nearAfter;
    edges.hidden = TEdges::THidden(world % 4);
    edges.unshowable = true;
    edges.full = world % 2 == 0;
    edges.pastLastPort = true;
    edges.extreme = TEdges::shownMix;
    return edges;
}

std::uint32_t Model(const TCounts& c)
{
    return TestModel(c.ports, c.recipients, c.groups, c.members, c.communities, c.secureIps, c.tagVids);
}

// The page's controls by name.
// Ticks each ticked line off and on again, as a user edits lines that show
// already what he wants: whether every line shows what it did before.
bool Retick(QWidget* page)
{
    bool same = true;
    for (QListWidget* lines : page->findChildren<QListWidget*>())
        for (int j = 0; j < lines->count(); ++j) {
            QListWidgetItem* line = lines->item(j);
            const QVariant state = line->data(Qt::CheckStateRole);
            if (!state.isValid() || !(line->flags() & Qt::ItemIsUserCheckable) || !(line->flags() & Qt::ItemIsEnabled))
                continue;
            const Qt::CheckState was = line->checkState();
            line->setCheckState(was == Qt::Checked ? Qt::Unchecked : Qt::Checked);
            line->setCheckState(was);
            same = same && line->checkState() == was;
        }
    return same;
}

QString Controls(QWidget* page)
{
    QStringList controls;
    for (QAbstractButton* button : Buttons(page))
        controls << ControlName(button);
    return "\"" + controls.join("\", \"") + "\"";
}

// Which controls of which pages the test pressed, and why not the others:
// printed once, after the last page.
class Coverage : public ::testing::Environment {
public:
    static void Add(const std::string& page, const QString& control, const QString& what)
    {
        Lines()[page] << "\"" + control + "\" " + what;
        ++Counts()[what.startsWith("pressed; compared on 0 ") ? 1 : what.startsWith("pressed") ? 0 : 2];
    }
    // A line that counts no control.
    static void Note(const std::string& page, const QString& control, const QString& what)
    {
        Lines()[page] << "\"" + control + "\" " + what;
    }
    static void Skip(const std::string& page, const QString& why)
    {
        Lines()[page] << "not run: " + why;
        ++Counts()[3];
    }
    void TearDown() override
    {
        const auto& n = Counts();
        std::string text = QString("Coverage: %1 controls pressed on the first page and on a target's own page, %2 on "
                                   "the first page only, %3 not pressed; %4 pages not run. Page by page:\n")
                               .arg(n[0])
                               .arg(n[1])
                               .arg(n[2])
                               .arg(n[3])
                               .toStdString();
        for (const auto& [page, lines] : Lines())
            text += "  " + page + ": " + lines.join("; ").toStdString() + "\n";
        std::cout << text;
    }

private:
    // Pressed on both pages, on the first only, not pressed, pages not run.
    static std::array<int, 4>& Counts()
    {
        static std::array<int, 4> counts{};
        return counts;
    }
    static std::map<std::string, QStringList>& Lines()
    {
        static std::map<std::string, QStringList> lines;
        return lines;
    }
};
[[maybe_unused]] ::testing::Environment* const g_Coverage = ::testing::AddGlobalTestEnvironment(new Coverage);

std::vector<TPageId> DevicePages()
{
    std::vector<TPageId> ids;
    for (const TPageType& type : RegisteredPages())
        if (!IsGroupPage(type.id))
            ids.push_back(type.id);
    return ids;
}

// The kind of reason a target is named for: its own page not available
// (a read failed), another generation's page, or anything its own page
// can't do (a port, entry or choice it lacks, its own check).
enum class TWhy { none, unavailable, generation, own };

const char* WhyText(TWhy why)
{
    switch (why) {
    case TWhy::none: return "not named";
    case TWhy::unavailable: return "its latest read failed";
    case TWhy::generation: return "another generation";
    case TWhy::own: return "its own page can't do it";
    }
    return "";
}

TWhy KindOf(const QString& reason)
{
    static const QRegularExpression unavailable(
        "not available|did not answer|the switch refused|the switch's reply|not (been )?read");
    if (reason.contains("generation"))
        return TWhy::generation;
    return reason.contains(unavailable) ? TWhy::unavailable : TWhy::own;
}

// Why the outcome names device as not changed; null when it doesn't.
std::optional<QString> NamedWhy(const TOutcome& outcome, const Intp::TDevice* device)
{
    const QString name = TChangeReport::DeviceText(device) + ": not changed, ";
    for (const QString& text : outcome.told)
        for (const QString& line : text.split('\n'))
            if (const qsizetype at = line.indexOf(name); at >= 0)
                return line.mid(at + name.size());
    if (outcome.Named(device))
        return QString();
    return std::nullopt;
}

// Worlds per page: 100 (a sanitized build 4), AS_IF_ALONE_SEEDS=n the
// first n, AS_IF_ALONE_SEED=k world k alone.
#ifndef AS_IF_ALONE_WORLDS
#define AS_IF_ALONE_WORLDS 100
#endif
#ifndef AS_IF_ALONE_STEP
#define AS_IF_ALONE_STEP 1
#endif
std::vector<int> Worlds()
{
    if (const QByteArray one = qgetenv("AS_IF_ALONE_SEED"); !one.isEmpty())
        return {one.toInt()};
    const int n = qEnvironmentVariableIsSet("AS_IF_ALONE_SEEDS") ? qEnvironmentVariableIntValue("AS_IF_ALONE_SEEDS")
                                                                 : AS_IF_ALONE_WORLDS;
    const int step = qEnvironmentVariableIsSet("AS_IF_ALONE_STEP") ? qEnvironmentVariableIntValue("AS_IF_ALONE_STEP")
                                                                   : AS_IF_ALONE_STEP;
    std::vector<int> worlds(std::size_t(std::max(n, 1)));
    for (std::size_t w = 0; w < worlds.size(); ++w)
        worlds[w] = int(w) * std::max(step, 1);
    return worlds;
}

const char* const kPortSettings[] = {"",
                                     " (its first port chosen)",
                                     " (its last port chosen)",
                                     " (a middle row selected)",
                                     " (its last row selected)",
                                     " (no row selected)",
                                     " (its fields typed)"};

// Controls compared on fewer than a third of the same-model targets' own
// pages over the worlds (edge null), or whose edge (any: "*") decided fewer
// than a third of its targets' outcomes, and why.
const struct {
    const char* page;
    const char* control;
    const char* edge;
    const char* why;
} kBelowFloor[] = {
    {"TModuleSnmpMibview", "Delete", nullptr,
     "a switch's entry is its view name with its subtree: most same-model targets' tables hold the selected "
     "view with another subtree or not at all, or with a type its two choices can't show, which keeps their own "
     "page's Delete refused (\"Entry not found\")"},
    {"TModuleVlan8021qPort", "Apply", nullptr,
     "its own page sends a switch's every row, and checks them all: a same-model target's own rows, moved "
     "over their whole ranges, mostly fail its tagged VIDs check (\"Wrong tagged VIDs format!\"), and many "
     "targets are in another VLAN mode; about a third are compared at 3 worlds"},
    // A user's Delete is refused by its own page for a name its table
    // lacks, or for the passwords it asks ("Entry not found!", "Auth
    // Password needed!"): the edges' tables mostly lack the selected user.
    {"TModuleSnmpUser", "Delete", "*", "its own page refuses the user (\"Entry not found!\", a password needed)"},
    // The page is for switches in 802.1Q mode; the edges' targets keep a
    // drawn mode (lowest: mode 0), most of them another, named for it.
    {"TModuleVlan8021q", "Apply", "*", "most are in another VLAN mode"},
    // Its own page checks the work ports against the groups, its own drawn
    // groups mostly failing ("work ports must be the same as group ports in
    // Static Trunking Group", "should be at last one").
    {"TModulePortTrunkActivity", "Apply", "*", "its own page refuses its own drawn trunk groups"},
    {"TModulePortTrunk2", "Apply", "forty ports", "its own page refuses its own drawn trunk groups"},
    {"TModulePortTrunk2", "Apply", "forty-eight ports", "its own page refuses its own drawn trunk groups"},
    // Its own page refuses two ports of one priority: forty ports drawn
    // over the priorities mostly repeat one.
    {"TModuleRedundancyFastRecovery", "Apply", "forty ports", "its own page: \"Duplicated priority\""},
    {"TModuleRedundancyFastRecovery", "Apply", "forty-eight ports", "its own page: \"Duplicated priority\""},
};

// The texts the user typed in the page's text fields (four characters or
// more), as the switch's bytes.
std::vector<QByteArray> TypedTexts(QWidget* page)
{
    std::vector<QByteArray> texts;
    for (QLineEdit* edit : page->findChildren<QLineEdit*>())
        if (edit->isModified() && edit->isEnabled() && edit->text().size() >= 4 &&
            !qobject_cast<QAbstractSpinBox*>(edit->parentWidget()))
            texts.push_back(edit->text().toLatin1());
    return texts;
}

// Whether a change sent carries text.
bool Carries(const std::vector<TChange>& sent, const QByteArray& text)
{
    return std::any_of(sent.begin(), sent.end(), [&](const TChange& change) {
        return std::search(change.payload.begin(), change.payload.end(), text.begin(), text.end()) !=
               change.payload.end();
    });
}

// The values the switch on show is drawn with, in turn, where a control
// sends nothing: drawn over whole ranges, then nearer the model's from
// kNearer on, two steps off (a mode the page is for) last.
constexpr TValues kTries[] = {{},         {},         {},         {},          {8, false},    {4, false},
                              {2, false}, {1, false}, {0, false}, {96, false, 2}, {96, false, 2}};
constexpr std::size_t kNearer = 4;

// The controls that send what a page shows of the switch's settings.
const std::set<std::string> kApplies = {"Apply", "Set", "Edit"};

// Pages whose own page, alone and with the control on, may still name a
// target for its model, and why.
const std::map<std::string, const char*> kModelToldOnPress = {
    {"TModuleSecurityIP", "only Add fills its list, and Add is off once the list is full: the test copies more "
                          "lines onto a page than a user can add"},
};

// What a page writes otherwise than it read, as its design says: the
// differences (by a pattern of RoundTrip's text) each page may show; {F+k}
// is byte k of the final entry of a trunk record.
const struct {
    const char* page;
    const char* bytes;
    const char* words;
} kWrittenOtherwise[] = {
    // "Build 5 + 4 x n zero bytes. Only when enabled: set bit i of the mask
    // for each checked management item, and write the lines ... into the
    // first places"; "With "Disable" the mask and all addresses are sent as
    // 0, whatever the controls show."
    {"TModuleSecurityIP",
     "0x0800: (byte [1-3] 00|byte 4 0[0-7]|byte ([5-9]|[1-9][0-9]+) 00), read [0-9a-f]{2}"
     "(, (byte [1-3] 00|byte 4 0[0-7]|byte ([5-9]|[1-9][0-9]+) 00), read [0-9a-f]{2})*",
     "the mask bits it lists no item for, and all with Disable, are sent as 0"},
    // "Defaults: m_Sntp "Disable", m_Timezone index 0, server address 0 ...
    // both change instants 0, m_Daylight "Disable"" and "(a valid record
    // with SNTP disabled keeps the defaults)".
    {"TModuleBasicsSntp", "0x010d: byte ([1-6]|11) 00, read [0-9a-f]{2}(, byte ([1-6]|11) 00, read [0-9a-f]{2})*",
     "SNTP disabled: the defaults are sent"},
    // "Daylight saving disabled: when the switch's time is unknown, the begin
    // pickers show the host's current date and time and the end pickers the
    // same values; otherwise all four pickers show the switch's time." and
    // "the payload is built from the controls as above".
    {"TModuleBasicsSntp",
     "0x010d: byte 1[2-9] [0-9a-f]{2}, read [0-9a-f]{2}(, byte 1[2-9] [0-9a-f]{2}, read [0-9a-f]{2})*",
     "daylight saving disabled: the change instants are the switch's time"},
    // "Apply: start from six zero masks." ... "Events and ports not listed
    // are sent as 0."
    {"TModuleWarningEvent",
     "0x0906: (?:(?:byte (?:[0-2]|1[2-4]) 00, read [0-9a-f]{2}|byte (?:3|15) 0(?<n>[0-9a-f]), read [0-9a-f]\\k<n>)"
     "(?:, (?=byte)|$))+",
     "the system events it lists no line for are sent as 0"},
    // "each of the first m_RecipientNum recipients that is not empty is added
    // as a line"; Apply sends "the lines of m_Recipients in order";
    // "recipients without a line stay zero".
    {"TModuleWarningSmtp",
     "0x0904: byte (?:197|261|325|389|453|517|581|645) [0-9a-f]{2}, read 00"
     "(?:, byte (?:19[7-9]|2[0-9]{2}|[3-9][0-9]{2}|[0-9]{4,}) [0-9a-f]{2}, read [0-9a-f]{2})*",
     "the recipients move up into an empty place"},
    // "Allocate TrunkGroupNum + 1 entries of 80 bytes, all bytes zero." ...
    // "The final entry's member bitmap is the LACP set (every port of an
    // LACP group is sent as "Active")."
    {"TModulePortTrunk2",
     "0x0206: (?:(?:byte (?:{F+0}|{F+1}|{F+2}|{F+3}) [0-9a-f]{2}|byte (?:{F+4}|{F+5}) 00), read [0-9a-f]{2}(?:, (?=byte)|$))+",
     "the activity entry: every LACP port active, its flag and work ports 0"},
    // "Final entry: member bitmap = for each listed position, the port's bit
    // is set when its check box is ticked ...; then the bitmap is reduced to
    // the LACP set; work-ports byte = the value kept at the last refill."
    {"TModulePortTrunkActivity",
     "0x0206: (?:(?:byte (?:{F+0}|{F+1}|{F+2}|{F+3}) [0-9a-f]{2}|byte {F+4} 00), read [0-9a-f]{2}(?:, (?=byte)|$))+",
     "the activity entry: the LACP set's ports alone, its flag 0"},
    // "When the RSTP record is valid and the ring is not on: m_Mode =
    // "Enable" if the record's enabled flag is set ... Otherwise: m_Mode =
    // "Disable""
    {"TModuleRedundancyRstp", "0x0302: byte 0 00, read 01", "the ring on: RSTP sent off"},
    // "it reads the switch's VLAN membership table and writes a per-port
    // list in a different, word-based form"; a row starts as "untagged VLAN
    // id = 1", and of two untagged VLANs "a later entry wins".
    {"TModuleVlan8021qPort", "0x0408: (?:byte|[0-9]+ bytes).*",
     "the membership table comes back as the switch builds it from per-port words"},
    // "While RSTP is on, the page shows the ring as off"; "Bytes 1 to 8 are 0
    // when the ring is off; bytes 5 and 6 are 0 when the coupling ring is
    // off; byte 8 is 0 when dual homing is off."
    {"TModuleRedundancyRing", "0x0300: (?:byte 0 00, read 01, )?(?:byte [1-8] 00, read [0-9a-f]{2}(?:, (?=byte)|$))+",
     "the ring, coupling and dual homing's values are sent as 0 while off"},
};

// Pages that wait for the port names: without them they show nothing
// their Apply could send, or defaults it would write. Every other page
// lists every port when its port-name read failed, and works.
const std::set<std::string> kWaitsForPortNames = {
    "TModulePortConfig",   "TModuleMonitorMac",   "TModuleMonitorMirror2",     "TModuleVlanPortBased",
    "TModuleVlan8021qPort", "TModuleSecurityMac2Static", "TModuleSecurityPort",
};

// How often a control was compared on the same-model targets' own pages,
// over the worlds, and why not the other times.
struct TTally {
    int compared = 0, sameModel = 0, sameCompared = 0, targets = 0;
    QStringList why;
    // By edge kind: targets compared on their own page, targets, why not.
    std::array<int, std::size_t(TEdge::count)> edgeCompared{}, edgeTargets{};
    // By edge kind: targets whose outcome the edge decided (compared, or
    // named for what the world built: a failed read, the generation, a
    // port, row, line, choice or entry it lacks).
    std::array<int, std::size_t(TEdge::count)> edgeMet{};
    std::array<QStringList, std::size_t(TEdge::count)> edgeWhy;
};

// What a reason to name a switch is about: its model's counts, a port its
// page lacks, an entry, its generation, a read, or its own page's check.
enum class TAbout { model, port, entry, generation, read, check };

TAbout About(const QString& why)
{
    if (why.contains("generation") || why.contains("has no event"))
        return TAbout::generation;
    if (why.contains("not read") || why.contains("not available") || why.contains("not been read"))
        return TAbout::read;
    if (why.startsWith("its model "))
        return TAbout::model;
    if (why.contains("entry", Qt::CaseInsensitive))
        return TAbout::entry;
    if (why.contains("port line") || why.contains("lists no port") || why.contains("lists no trunk group") ||
        why.contains("does not list") ||
        why.contains("offers "))
        return TAbout::port;
    return TAbout::check;
}

class AsIfAlone : public ::testing::TestWithParam<TPageId> {
protected:
    void TearDown() override
    {
        own.clear();
        spare.clear();
        world.reset();
        env.reset();
        Intp::g_LayoutThreshold = m_Threshold;
    }

    std::unique_ptr<TModulePage> Make() const
    {
        for (const TPageType& type : RegisteredPages()) {
            if (type.id != GetParam())
                continue;
            TModule* module = type.make(&m_Owner);
            if (type.configure)
                type.configure(module);
            if (auto* page = dynamic_cast<TModulePage*>(module)) {
                // Nothing here is drawn: its layouts would only size it, and
                // a size of its own spares each show sizing it to its hint.
                for (QLayout* layout : page->findChildren<QLayout*>())
                    layout->setEnabled(false);
                page->resize(1024, 768);
                return std::unique_ptr<TModulePage>(page);
            }
            delete dynamic_cast<QObject*>(module);
        }
        return nullptr;
    }

    // A new world: the switch on show, shown alone once to learn what the
    // page reads, then the targets; the page's generation, the other one's
    // model across the threshold (which the world sets, so it knows).
    void NewWorld(int seed)
    {
        own.clear();
        spare.clear();
        freshShown.clear();
        hosts.clear();
        world.reset();
        env.reset();  // its message-box hook goes first
        env = std::make_unique<TPageTestEnvironment>();
        // Past 32 ports the tables hold entries on ports past 32 too.
        world = std::make_unique<TWorld>(*env, seed, Base(seed).ports > 32 ? 50 : 16);
        worldSeed = seed;
        const bool waits = kWaitsForPortNames.count(PageIdName(GetParam()));
        std::set<std::uint16_t> unneeded;
        if (!waits)
            unneeded.insert(Intp::ccPortNameGet);
        // The VLAN table's rows come from its list: without the port
        // configuration their ports are empty texts.
        if (std::string_view(PageIdName(GetParam())) == "TModuleVlanTable")
            unneeded.insert(Intp::ccPortConfigGet);
        // The 802.1Q settings go by the VLAN mode only when it was read; a
        // first read of it that failed leaves their own record unread.
        std::set<std::uint16_t> onceRead;
        if (std::string_view(PageIdName(GetParam())) == "TModuleVlan8021q")
            onceRead.insert(Intp::ccVlanGet);
        world->SetUnneeded(unneeded, onceRead);
        const unsigned layouts = PageLayouts(GetParam());
        const bool second = layouts == 2;
        oneTree = layouts == 1 || layouts == 2;
        const std::uint32_t early = Model(Base(seed)), shownModel = Model(Base(seed));
        // On a page that lists every port without their names, the switch
        // on show's port-name read fails in every other world, each way in
        // turn.
        shown = world->AddSwitch(shownModel, 1 + seed * 100, waits || seed % 2 == 0 ? TFailure{} : NamesFail(seed / 2),
                                 true, ShownEdges(seed));
        env->host.selection = {shown};
        {
            std::unique_ptr<TModulePage> probe = Make();
            world->Show(probe.get(), &env->host);
            world->Learn(probe.get());
        }
        targets = Targets(world->Read(shown), seed);
        std::vector<std::uint32_t> models;
        for (const TTarget& target : targets)
            models.push_back(Model(target.counts));
        // A switch the page shows before the switch on show: another port
        // count, its values at the other end, other ports hidden, full.
        const std::uint32_t otherModel = Model(Base(seed).WithPorts(Base(seed).ports == 8 ? 48 : 8));
        const std::uint32_t late = Model(Base(seed));
        Intp::g_LayoutThreshold = int(second ? early : late - 1);
        for (std::size_t i = 0; i < targets.size(); ++i)
            env->host.selection.push_back(world->AddSwitch(targets[i].otherGeneration ? (second ? early : late)
                                                                                        : models[i],
                                                           targets[i].seed, targets[i].failure, false,
                                                           targets[i].edges));
        // Of the most of a count, a few values moved: its records are drawn
        // in the time of a small model's.
        for (std::size_t i = 0; i < targets.size(); ++i)
            if (targets[i].edge == TEdge::largest)
                world->Reseed(Target(i), targets[i].seed, {.moves = 8});
        other.selection = {world->AddSwitch(otherModel, 3 + seed * 100, {}, false,
                                            {.hidden = TEdges::first,
                                             .full = true,
                                             .extreme = seed % 2 ? TEdges::lowest : TEdges::highest})};
        hosts.resize(targets.size());
        own.resize(targets.size());
        ownFresh.resize(targets.size());
        ownTold.resize(targets.size());
        unreadable.assign(targets.size(), false);
        for (std::size_t i = 0; i < targets.size(); ++i) {
            hosts[i].selection = {Target(i)};
            // A model with none or the most of a count whose records the
            // library takes no reply of: its page is not available.
            if (std::any_of(std::begin(kCounts), std::end(kCounts), [&](const auto& c) {
                    return targets[i].counts.*c.count == 0 || targets[i].counts.*c.count == kLargest;
                })) {
                std::unique_ptr<TModulePage> page = Make();
                world->Show(page.get(), &hosts[i]);
                unreadable[i] = page->IsUnavailable();
            }
        }
    }
    Intp::TDevice* Target(std::size_t i) const { return env->host.selection[i + 1]; }

    // What the world says of target i: named for a failed read, for the
    // other generation, or to be seen on its own page.
    TWhy WorldWhy(std::size_t i) const
    {
        if (targets[i].otherGeneration && oneTree)
            return TWhy::generation;
        if (!world->FailedNeeded(Target(i)).empty() || unreadable[i])
            return TWhy::unavailable;
        return TWhy::none;
    }

    // The port-name read failing one way of three (n).
    static TFailure NamesFail(int n)
    {
        return n % 3 == 0 ? TFailure{Intp::ccPortNameGet, 1, false}
               : n % 3 == 1 ? TFailure{Intp::ccPortNameGet, Intp::ssTimeout, true}
                            : TFailure{Intp::ccPortNameGet, kNever, true};
    }

    // A switch on show whose read of one record fails (each record and way
    // in turn over the worlds: refused after a good read, a first read
    // timed out, never answered): no control sends a change to any switch;
    // a read the page does not wait for leaves it available.
    void ShownFails(int seed, const std::string& where)
    {
        std::set<std::uint16_t> read = world->Read(shown);
        const std::set<std::uint16_t> failed = world->Failed(shown);
        read.insert(failed.begin(), failed.end());
        if (read.empty())
            return;
        const std::vector<std::uint16_t> reads(read.begin(), read.end());
        const std::uint16_t code = reads[std::size_t(seed) % reads.size()];
        // Refused, timed out, never answered; the first read or one after a good one.
        const int way = int(std::size_t(seed) / reads.size() % 6);
        const bool firstRead = way >= 3;
        const TFailure failure = way % 3 == 0   ? TFailure{code, kRefusals[std::size_t(seed) % std::size(kRefusals)], firstRead}
                                 : way % 3 == 1 ? TFailure{code, Intp::ssTimeout, firstRead}
                                                : TFailure{code, kNever, firstRead};
        const TEdge edge = way % 3 == 0 ? TEdge::refused : way % 3 == 1 ? TEdge::firstTimeout : TEdge::never;
        TFakePageHost host;
        host.selection = {world->AddSwitch(shown->GetType(), 1 + seed * 100, failure, true, ShownEdges(seed)), Target(0)};
        std::unique_ptr<TModulePage> page = Make();
        world->Show(page.get(), &host);
        FillEmpty(page.get());
        // A table read again still unanswered: the page on show keeps the
        // rows of the good read before it, and what it shows stands.
        if (failure.status == kNever && !firstRead && TWorld::IsTable(code))
            return;
        const QString what = QString::asprintf("switch on show, %s (%s) of 0x%04x: ", kEdgeNames[int(edge)],
                                               firstRead ? "its first read" : "after a good one", code);
        if (world->FailedNeeded(host.selection[0]).empty()) {
            EXPECT_FALSE(page->IsUnavailable()) << where << ": " << what.toStdString()
                                                << "the page is not available, though it does not wait for that read: "
                                                << page->StatusLine()->text().toStdString();
            return;
        }
        // A page that waits for the port names shows nothing without them.
        if (code == Intp::ccPortNameGet && kWaitsForPortNames.count(PageIdName(GetParam()))) {
            EXPECT_TRUE(page->IsUnavailable()) << where << ": " << what.toStdString()
                                               << "the page is available, though it waits for the port names";
        }
        for (QAbstractButton* button : Buttons(page.get()))
            if (button->isEnabled() && button->isVisibleTo(page.get())) {
                const TOutcome outcome = world->Press(page.get(), button);
                EXPECT_FALSE(outcome.AnyChange()) << where << ": " << what.toStdString() << "\""
                                                  << ControlName(button).toStdString() << "\" sends a change";
            }
    }

    // Whether the world gives target i a reason of that kind to be named:
    // a count under the switch on show's (its model, or a port it lacks),
    // a port it hides, an entry (the page reads a table), its generation.
    bool WorldGives(std::size_t i, TAbout about, const QString& why) const
    {
        const bool fewer = Fewer(i);
        switch (about) {
        case TAbout::model: return fewer && ModelCountHolds(i, why);
        case TAbout::port:
            return fewer || !world->Hidden(Target(i)).empty() || !world->Hidden(shown).empty() ||
                   targets[i].otherGeneration;
        case TAbout::entry:
            return std::any_of(world->Read(shown).begin(), world->Read(shown).end(),
                               [](std::uint16_t code) { return TWorld::EntryKey(code).second > 0; });
        case TAbout::generation: return targets[i].otherGeneration;
        case TAbout::read: return false;
        case TAbout::check: return true;
        }
        return false;
    }

    // Whether the world built target i to fail the page's check that why
    // names, by the records the library read of it.
    bool CheckHolds(std::size_t i, const QString& why) const
    {
        Intp::TDevice* target = Target(i);
        static const QRegularExpression mode("^it is not in (802.1Q|port-based) VLAN mode$"),
            limit("^port number must be <=(\\d+)$");
        if (const auto match = mode.match(why); match.hasMatch()) {
            // The mode it holds: a read that timed out keeps it.
            const auto& vlan = Intp::Property<Intp::TPropertyVlan>::Get(target);
            return vlan.valid && vlan.mode != (match.captured(1) == "802.1Q" ? Intp::vm8021q : Intp::vmPortBased);
        }
        if (why == "it sends no syslog or e-mail alarms") {
            const auto* syslog = target->LatestRead<Intp::TPropertyWarningSyslog>();
            const auto* smtp = target->LatestRead<Intp::TPropertyWarningSmtp>();
            return syslog && smtp && syslog->mode == 0 && !smtp->enabled;
        }
        // Its own members of ports the page can't show, or fewer places.
        if (const auto match = limit.match(why); match.hasMatch())
            return match.captured(1).toUInt() == targets[i].counts.members &&
                   (Fewer(i) || !world->Hidden(target).empty() || targets[i].edges.trunkAtLimit ||
                    target->GetPortNum() > Base(worldSeed).ports);
        if (why == "that port stands past the first 32 of its port configuration") {
            const auto* ports = target->LatestRead<Intp::TPropertyPortConfig>();
            return ports && ports->entries.size() > 32;
        }
        return false;
    }

    // Whether any of target i's model counts is under the switch on show's.
    bool Fewer(std::size_t i) const
    {
        const TCounts &c = targets[i].counts, base = Base(worldSeed);
        return c.ports < base.ports || c.groups < base.groups || c.members < base.members ||
               c.recipients < base.recipients || c.communities < base.communities || c.secureIps < base.secureIps ||
               c.tagVids < base.tagVids;
    }

    // Whether a reason about target i's model names the counts the world
    // gave it ("its model has 7 ports and 1 trunk group", "takes at most 3
    // recipients", "has no secure IP list"), one of them under the switch on
    // show's; a reason naming no count, any count under it.
    bool ModelCountHolds(std::size_t i, const QString& why) const
    {
        const TCounts &c = targets[i].counts, base = Base(worldSeed);
        static const QRegularExpression part("\\b(\\d+|no) ([A-Za-z -]+?)(?= and |,|$)");
        const QString counts = why.section(',', 0, 0);
        bool any = false, under = false;
        std::uint32_t TCounts::*first = nullptr;
        for (auto m = part.globalMatch(counts); m.hasNext();) {
            const QRegularExpressionMatch match = m.next();
            const QString word = match.captured(2);
            std::uint32_t TCounts::*count = word.contains("trunk group")   ? &TCounts::groups
                                            : word.contains("recipient")   ? &TCounts::recipients
                                            : word.contains("secure")      ? &TCounts::secureIps
                                            : word.contains("communit")    ? &TCounts::communities
                                            : word.contains("member")      ? &TCounts::members
                                            : word.contains(QRegularExpression("tag|VID")) ? &TCounts::tagVids
                                            : word.contains("port")        ? &TCounts::ports
                                                                           : nullptr;
            if (!count)
                return false;
            any = true;
            first = first ? first : count;
            const std::uint32_t n = match.captured(1) == "no" ? 0 : match.captured(1).toUInt();
            if (c.*count != n)
                return false;
            under = under || c.*count < base.*count;
        }
        // What the change is for ("for port 8", "for 8", "for trunk group
        // 3"): past the target's count of that kind, within the switch on
        // show's.
        static const QRegularExpression forWhat("this change is for (port |trunk group )?(\\d+)(?: [a-z ]+)?$");
        if (const QRegularExpressionMatch match = forWhat.match(why); match.hasMatch() && any) {
            std::uint32_t TCounts::*count = match.captured(1).startsWith("trunk") ? &TCounts::groups
                                            : match.captured(1).startsWith("port")  ? &TCounts::ports
                                                                                    : first;
            const std::uint32_t n = match.captured(2).toUInt();
            if (n <= c.*count || n > base.*count)
                return false;
        }
        return any ? under : Fewer(i);
    }

    // Whether a reason about an entry is the world's, for a table the page
    // reads, by the switch's key of the entries the changes sent to the
    // switch on show name: "no such entry" ("Entry not found") only where
    // target i's table lacks one of them; "that entry already" and "can't
    // show its entry" only where it holds one; or its page lists no row of
    // it or none the test can tell (cannot: what its own page can't do).
    bool EntryReasonHolds(std::size_t i, const QString& why, const TOutcome& outcome, const QString& cannot) const
    {
        // A target whose page lists no row of the entry lacks it.
        if (cannot.startsWith("no entry "))
            return !why.contains("entry already") && !why.contains("can't show its entry");
        if (cannot.startsWith(kUntold))
            return true;
        // Its own page's check found the entry in the rows of its table.
        if (why.contains("entry already") && cannot.contains("Entry already exists!"))
            return true;
        static const QRegularExpression lacks("no such entry|entry not found", QRegularExpression::CaseInsensitiveOption);
        const bool none = why.contains(lacks),
                   holds = why.contains("entry already") || why.contains("can't show its entry");
        if (!none && !holds)
            return true;
        // The key the press names: that of the entry sent to the switch on
        // show, or to any switch where the switch on show holds none.
        const auto onShown = outcome.sent.find(shown);
        const bool shownSent = onShown != outcome.sent.end() && !onShown->second.empty();
        std::vector<TChange> sent;
        for (const auto& [device, changes] : outcome.sent)
            if (device == shown || !shownSent)
                sent.insert(sent.end(), changes.begin(), changes.end());
        for (const std::uint16_t code : world->Read(shown)) {
            const auto [at, size] = TWorld::EntryKey(code);
            if (!size)
                continue;
            const std::vector<TBytes> held = world->Entries(Target(i), code);
            for (const TChange& change : sent)
                if (const TBytes key = TWorld::KeyNamed(code, change.payload); !key.empty()) {
                    const bool has = std::any_of(held.begin(), held.end(), [&, at = at](const TBytes& entry) {
                        return entry.size() >= at + key.size() &&
                               std::equal(key.begin(), key.end(), entry.begin() + std::ptrdiff_t(at));
                    });
                    if (has == holds)
                        return true;
                }
        }
        return false;
    }

    // Whether the outcome tells that device's change was refused with
    // status, or not answered.
    static bool RefusalTold(const TOutcome& outcome, const Intp::TDevice* device, std::uint16_t status)
    {
        const QString name = TChangeReport::DeviceText(device) + ": ";
        for (const QString& text : outcome.told)
            for (const QString& line : text.split('\n'))
                if (line.startsWith(name) && (status == Intp::ssTimeout ? line.contains("did not answer")
                                              : status == Intp::ssNotLoggedIn
                                                  ? line.contains("not logged in")
                                                  : line.contains("refused") && line.contains(QString::number(status))))
                    return true;
        return false;
    }

    // Whether every change sent to target i names an entry of a key the
    // changes sent to the switch on show name, and one its table holds.
    bool SendsHeldKeys(std::size_t i, const std::vector<TChange>& sent, const TOutcome& outcome) const
    {
        const auto shownSent = outcome.sent.find(shown);
        for (const std::uint16_t code : world->Read(shown)) {
            const auto [at, size] = TWorld::EntryKey(code);
            if (!size || sent.empty() || shownSent == outcome.sent.end())
                continue;
            std::set<TBytes> keys, held;
            for (const TChange& change : shownSent->second)
                keys.insert(TWorld::KeyNamed(code, change.payload));
            for (const TBytes& entry : world->Entries(Target(i), code))
                held.insert(TBytes(entry.begin() + std::ptrdiff_t(std::min(at, entry.size())),
                                   entry.begin() + std::ptrdiff_t(std::min(entry.size(), at + size))));
            return std::all_of(sent.begin(), sent.end(), [&](const TChange& change) {
                const TBytes key = TWorld::KeyNamed(code, change.payload);
                return !key.empty() && keys.count(key) && held.count(key);
            });
        }
        return false;
    }

    // How the page on show is set before a control is pressed: its first
    // rows selected or not, and its form typed in from a row of a target's
    // page (from: the target, -1 none).
    struct TSetting {
        bool select = true;
        int from = -1, row = 0;
        enum { as, filled, largest } form = as;  // as shown, its empty fields filled, its numbers largest
        int port = 0;                            // its first (1) or last (2) port chosen; 0 when none is
        enum { firstRow, middleRow, lastRow } selected = firstRow;  // the row selected (select)
        bool history = false;                    // the page showed another switch before
        bool typed = false;                      // its text and number fields typed again as they show
    };
    // A page shown as the setting asks (rows: the most rows a list holds
    // when a row is selected). Pages come back when their user is done with
    // them: one is taken again where, set up the same way, it shows all a
    // new page of that setting and world showed (building pages is most of
    // the test's time).
    struct TKeep {
        AsIfAlone* test = nullptr;
        void operator()(TModulePage* page) const
        {
            // As many as are in use at once.
            if (test && test->spare.size() < 4)
                test->spare.emplace_back(page);
            else
                delete page;
        }
    };
    using TPage = std::unique_ptr<TModulePage, TKeep>;
    TPage Shown(TSetting& setting, int* rows = nullptr)
    {
        const std::string key = std::to_string(setting.select) + ',' + std::to_string(setting.from) + ',' +
                                std::to_string(setting.row) + ',' + std::to_string(int(setting.form)) + ',' +
                                std::to_string(setting.port) + ',' + std::to_string(int(setting.selected)) + ',' +
                                std::to_string(setting.history) + ',' + std::to_string(setting.typed) + '|' +
                                world->AnswersKey();
        const auto fresh = freshShown.find(key);
        if (fresh != freshShown.end() && !spare.empty()) {
            std::unique_ptr<TModulePage> page = std::move(spare.back());
            spare.pop_back();
            for (QLineEdit* edit : page->findChildren<QLineEdit*>())
                edit->setModified(false);
            TSetting again = setting;
            const int held = SetUp(page.get(), again);
            if (PageState(page.get(), page->StatusLine()) == fresh->second) {
                setting = again;
                if (rows)
                    *rows = held;
                return TPage(page.release(), TKeep{this});
            }
        }
        std::unique_ptr<TModulePage> page = Make();
        const int held = SetUp(page.get(), setting);
        freshShown[key] = PageState(page.get(), page->StatusLine());
        if (rows)
            *rows = held;
        return TPage(page.release(), TKeep{this});
    }
    int SetUp(TModulePage* page, TSetting& setting)
    {
        int rows = 0;
        if (setting.history)
            world->Show(page, &other);
        world->Show(page, &env->host);
        // A form typed from another switch's row names its entry: no row of
        // its own is selected then.
        if (setting.select && setting.from < 0) {
            rows = SelectRows(page, 0);
            if (setting.selected != TSetting::firstRow && rows > 1)
                SelectRows(page, setting.selected == TSetting::middleRow ? rows / 2 : rows - 1);
        }
        if (setting.from >= 0) {
            TFakePageHost host;
            host.selection = {Target(std::size_t(setting.from))};
            std::unique_ptr<TModulePage> source = Make();
            world->Show(source.get(), &host);
            rows = SelectRows(source.get(), setting.row);
            CopyShown(source.get(), page, TCopy::form);
        }
        if (setting.form == TSetting::filled)
            FillEmpty(page);
        if (setting.form == TSetting::largest)
            Largest(page);
        if (setting.port && !ChoosePort(page, setting.port == 2, {Visible(shown), {}, Names(shown), {}, {}, {}}))
            setting.port = 0;
        if (setting.typed && !Retype(page))
            setting.typed = false;
        return rows;
    }

    // What control k does on show (why: why it sends no change). A control
    // that is off, or refused by the switch on show's own check, is tried on
    // other settings of the page: as shown, then its form typed from a row
    // of a target's page (an Add of an entry it lacks), then its empty form
    // filled (a new password), then its numbers at their largest (a key no
    // entry has); and all of them on other values of that switch, the later
    // ones nearer the model's (a mode the page is for).
    TOutcome Dry(std::size_t k, QString& control, TSetting& setting, QString& why)
    {
        TOutcome dry;
        const auto& tries = kTries;
        for (std::size_t t = 0; t < std::size(tries) && !dry.AnyChange(); ++t) {
            values = tries[t];
            world->Reseed(shown, 1 + worldSeed * 100 + int(t) * 1000, values);
            // Its first row selected, then its last and a middle one (a
            // control that does nothing on the first row).
            std::vector<TSetting> settings = {{}, {.selected = TSetting::lastRow}, {.selected = TSetting::middleRow}};
            for (int from = 0; from < 3 && (t == 0 || t + 1 == std::size(tries)); ++from)
                for (int row = 0; row < 4; ++row)
                    settings.push_back({true, from, row});
            settings.push_back({.select = false, .form = TSetting::filled});
            settings.push_back({.select = false, .form = TSetting::largest});
            for (std::size_t n = 0; n < settings.size() && !dry.AnyChange(); ++n) {
                int rows = 0;
                TPage page = Shown(settings[n], &rows);
                QAbstractButton* button = Buttons(page.get()).at(k);
                control = ControlName(button);
                if (!button->isVisibleTo(page.get())) {
                    why = "hidden";
                    return dry;
                }
                if (settings[n].from >= 0 && settings[n].row >= rows)
                    continue;
                if (!button->isEnabled()) {
                    if (why.isEmpty())
                        why = "off on every value set";
                    continue;
                }
                setting = settings[n];
                dry = world->Press(page.get(), button);
                // A setting it was taken on, sending no change, tells more
                // than one it was refused on.
                const QString said = !dry.told.isEmpty() ? "refused: " + dry.told.join(" / ").simplified()
                                     : dry.leftOut       ? "sends only a login or a reboot, which no page compares"
                                                         : "sends no change";
                if (why.isEmpty() || why == "off on every value set" || why.startsWith("refused: "))
                    why = said;
            }
        }
        return dry;
    }

    // What target i's own page can't do of what first shows, its controls
    // set to it (empty: it can); a delete of a selected row selects the
    // target's own row of the switch's key, whatever the form then shows.
    QString OwnPage(TModulePage* first, std::size_t i, std::size_t k, bool deletes)
    {
        // Shown again for its switch in the same world, a page is as good as
        // a new one where it shows all a new one showed: building pages is
        // most of the test's time. Its texts typed before are as a new page's
        // if they read so; what it last said of a change is no part of what
        // it sends.
        const std::string answers = world->AnswersKey(Target(i));
        if (own[i] && ownFresh[i].first == answers) {
            for (QLineEdit* edit : own[i]->findChildren<QLineEdit*>())
                edit->setModified(false);
            world->Show(own[i].get(), &hosts[i]);
            if (PageState(own[i].get(), own[i]->StatusLine()) != ownFresh[i].second)
                own[i].reset();
        } else {
            own[i].reset();
        }
        if (!own[i]) {
            own[i] = Make();
            world->Show(own[i].get(), &hosts[i]);
            ownFresh[i] = {answers, PageState(own[i].get(), own[i]->StatusLine())};
        }
        TPortLists ports{Visible(shown), Visible(Target(i)), Names(shown), Names(Target(i)), {}, {}};
        // The one table the page reads, if it reads one.
        for (const std::uint16_t code : world->Read(shown))
            if (const auto [at, bytes] = TWorld::EntryKey(code); bytes) {
                ports.keyBytes = ports.fromEntries.empty() ? bytes : 0;
                ports.keyAt = at;
                ports.fromEntries = world->Entries(shown, code);
                ports.toEntries = world->Entries(Target(i), code);
            }
        const qsizetype told = env->messages.size();
        QString cannot = CopyShown(first, own[i].get(), deletes ? TCopy::entry : TCopy::shown, &ports);
        ownTold[i] = env->messages.mid(told);
        // A Delete names an entry by its key: the ticks of a typed form's
        // lines are no part of it.
        if (deletes) {
            QStringList parts = cannot.split("; ", Qt::SkipEmptyParts);
            parts.removeIf([](const QString& part) { return part.startsWith("no line "); });
            cannot = parts.join("; ");
        }
        // A choice its page lacks is no part of a change its page sends the
        // same whatever that choice shows (a Clear of the whole table).
        const QStringList parts = cannot.split("; ", Qt::SkipEmptyParts);
        if (!parts.isEmpty() && std::all_of(parts.begin(), parts.end(), [&](const QString& part) {
                return part.startsWith("no choice ") && ChoiceMakesNoChange(first, i, k, part.mid(10));
            }))
            cannot.clear();
        return cannot;
    }

    // Whether control k of target i's own page sends one change whichever
    // item shows in each choice whose match on first shows text (one at
    // least; matched in construction order, as CopyShown matches them).
    bool ChoiceMakesNoChange(TModulePage* first, std::size_t i, std::size_t k, const QString& text)
    {
        Intp::TDevice* target = Target(i);
        const QList<QComboBox*> shown = first->findChildren<QComboBox*>(), choices = own[i]->findChildren<QComboBox*>();
        bool any = false;
        for (qsizetype c = 0; c < std::min(shown.size(), choices.size()); ++c) {
            QComboBox* choice = choices[c];
            if (!shown[c]->isEnabled() || shown[c]->currentText() != text)
                continue;
            any = true;
            const int was = choice->currentIndex();
            std::optional<std::vector<TChange>> one;
            // Of one item, that item and none.
            for (int item = choice->count() < 2 ? -1 : 0; item < choice->count(); ++item) {
                choice->setCurrentIndex(item);
                QAbstractButton* button = Buttons(own[i].get()).at(k);
                const std::vector<TChange> sent =
                    button->isEnabled() ? world->Press(own[i].get(), button).sent[target] : std::vector<TChange>{};
                if (sent.empty() || (one && sent != *one))
                    return false;
                one = sent;
            }
            choice->setCurrentIndex(was);
        }
        return any;
    }

    // The indexes of the ports the world lets the switch's pages list, in
    // order, and the names it gave them.
    std::vector<int> Visible(const Intp::TDevice* device) const
    {
        const std::vector<int> hidden = world->Hidden(device);
        std::vector<int> visible;
        for (int p = 0; p < int(device->GetPortNum()); ++p)
            if (std::find(hidden.begin(), hidden.end(), p) == hidden.end())
                visible.push_back(p);
        return visible;
    }
    // The ports' names, not the trunk groups' after them; unread (a page
    // that lists ports by number alone), the hidden ones "Port.XX" as the
    // switch names them.
    std::vector<std::string> Names(Intp::TDevice* device) const
    {
        const auto& record = Intp::Property<Intp::TPropertyPortName>::Get(device);
        std::vector<std::string> names = record.valid ? record.names : std::vector<std::string>();
        names.resize(std::min<std::size_t>(names.size(), device->GetPortNum()));
        const std::vector<int> hidden = world->Hidden(device);
        if (names.empty() && !hidden.empty()) {
            names.resize(device->GetPortNum());
            for (const int p : hidden)
                names.at(std::size_t(p)) = "Port.XX";
        }
        return names;
    }

    // Whether target i's own page, set as first shows, sends a change.
    bool OwnPageSends(TModulePage* first, std::size_t i, std::size_t k, bool deletes)
    {
        return OwnPage(first, i, k, deletes).isEmpty() && world->Press(own[i].get(), Buttons(own[i].get()).at(k)).AnyChange();
    }

    // An unedited Apply sends the switch on show what it read, each record
    // and row byte for byte: alone or with the targets, on a fresh page and
    // on one that showed another switch first, its fields as filled or
    // typed again as they show.
    void UneditedApply(const std::string& where, std::map<std::string, int>& tally)
    {
        const std::string name = PageIdName(GetParam());
        for (std::size_t k = 0;; ++k) {
            if (const std::unique_ptr<TModulePage> probe = Make(); k >= Buttons(probe.get()).size()) {
                world->ForgetAdded();
                return;
            } else if (!kApplies.count(ControlName(Buttons(probe.get())[k]).toStdString())) {
                continue;
            }
            for (int way = 0; way < 5; ++way) {
                // Alone and with the targets in every world; after another
                // switch one of the two, and typed again, in turn.
                if ((way == 2 && worldSeed % 2) || (way == 3 && worldSeed % 2 == 0) || (way == 4 && worldSeed % 3 != 1))
                    continue;
                // Where its own page sends nothing on the values drawn (its
                // own check, a mode it is not for), values nearer the model's.
                TOutcome outcome;
                std::unique_ptr<TModulePage> page;
                QAbstractButton* button = nullptr;
                auto sent = outcome.sent.end();
                for (std::size_t t = 0; t < std::size(kTries) && sent == outcome.sent.end(); t = std::max(t + 1, kNearer)) {
                    if (t)
                        world->Reseed(shown, 1 + worldSeed * 100 + int(t) * 1000, kTries[t]);
                    TFakePageHost alone;
                    alone.selection = {shown};
                    page = Make();
                    if (way == 2 || way == 3)
                        world->Show(page.get(), &other);
                    world->Show(page.get(), way % 2 ? &env->host : &alone);
                    // Its first row selected (an Edit's), which edits nothing.
                    SelectRows(page.get(), 0);
                    button = Buttons(page.get())[k];
                    if (way == 4 && !Retype(page.get()))
                        break;
                    if (!button->isEnabled() || !button->isVisibleTo(page.get()))
                        continue;
                    outcome = world->Press(page.get(), button);
                    sent = outcome.sent.find(shown);
                    if (sent != outcome.sent.end() && sent->second.empty())
                        sent = outcome.sent.end();
                }
                world->Reseed(shown, 1 + worldSeed * 100);
                if (sent == outcome.sent.end()) {
                    ++tally["sent nothing"];
                    continue;
                }
                bool answered = true;
                QStringList differs = world->RoundTrip(shown, sent->second, &answered).split("; ", Qt::SkipEmptyParts);
                ++tally[answered ? "compared" : "no fake answer"];
                // A record's differences all of which its design writes so.
                differs.removeIf([&](const QString& record) {
                    return std::any_of(std::begin(kWrittenOtherwise), std::end(kWrittenOtherwise), [&](const auto& w) {
                        QString bytes = w.bytes;
                        for (int b = 0; b < 6; ++b)
                            bytes.replace(QString("{F+%1}").arg(b), QString::number(80 * shown->GetTrunkGroupNum() + b));
                        return name == w.page &&
                               QRegularExpression(QRegularExpression::anchoredPattern(bytes)).match(record).hasMatch();
                    });
                });
                EXPECT_TRUE(differs.isEmpty())
                    << name << " \"" << ControlName(button).toStdString() << "\" unedited"
                    << (way % 2 ? " with the targets" : " alone")
                    << (way == 4 ? ", typed again" : way >= 2 ? ", after another switch" : "")
                    << where << ": the switch on show is sent what it did not read: "
                    << differs.join("; ").left(600).toStdString()
                    << "; sent " << Text(sent->second).toStdString();
            }
        }
    }

    // A line a user unticks goes as unticked: every ticked line of the page
    // unticked (its first row selected), Apply, and the page shown again
    // on the records the switch then holds shows each of them unticked (in
    // every other world).
    void UntickedApply(const std::string& where)
    {
        const std::string name = PageIdName(GetParam());
        TFakePageHost alone;
        alone.selection = {shown};
        for (std::size_t k = 0;; ++k) {
            std::unique_ptr<TModulePage> page = Make();
            if (k >= Buttons(page.get()).size())
                return;
            if (!kApplies.count(ControlName(Buttons(page.get())[k]).toStdString()))
                continue;
            world->Show(page.get(), &alone);
            SelectRows(page.get(), 0);
            std::vector<std::pair<qsizetype, QString>> unticked;
            const QList<QListWidget*> lists = page->findChildren<QListWidget*>();
            for (qsizetype j = 0; j < lists.size(); ++j)
                for (int i = 0; lists[j]->isEnabled() && i < lists[j]->count(); ++i)
                    if (QListWidgetItem* line = lists[j]->item(i); (line->flags() & Qt::ItemIsUserCheckable) &&
                                                                   (line->flags() & Qt::ItemIsEnabled) &&
                                                                   line->checkState() == Qt::Checked) {
                        line->setCheckState(Qt::Unchecked);
                        unticked.emplace_back(j, line->text());
                    }
            QAbstractButton* button = Buttons(page.get())[k];
            if (unticked.empty() || !button->isEnabled())
                continue;
            const TOutcome outcome = world->Press(page.get(), button);
            const auto sent = outcome.sent.find(shown);
            if (sent == outcome.sent.end())
                continue;
            world->AnswerWith(shown, world->After(shown, sent->second));
            std::unique_ptr<TModulePage> again = Make();
            world->Show(again.get(), &alone);
            SelectRows(again.get(), 0);
            const QList<QListWidget*> shownAgain = again->findChildren<QListWidget*>();
            QStringList ticked;
            for (const auto& [j, text] : unticked)
                for (const QListWidgetItem* line :
                     j < shownAgain.size() ? shownAgain[j]->findItems(text, Qt::MatchExactly) : QList<QListWidgetItem*>())
                    if (line->checkState() == Qt::Checked)
                        ticked << text;
            world->AnswerWith(shown, {});
            ticked.removeDuplicates();
            EXPECT_TRUE(ticked.isEmpty()) << name << " \"" << ControlName(button).toStdString() << "\"" << where
                                          << ": lines unticked and sent show ticked again: "
                                          << ticked.join(", ").toStdString() << "; sent " << Text(sent->second).toStdString();
        }
    }

    // A field a user edits goes as typed: each captioned number and text
    // field in turn typed over (its first row selected), Apply, and the
    // page shown again on the records the switch then holds shows that
    // field as typed and every other field as before (in every fourth
    // world).
    void EditedApply(const std::string& where)
    {
        const std::string name = PageIdName(GetParam());
        TFakePageHost alone;
        alone.selection = {shown};
        auto shownAlone = [&] {
            std::unique_ptr<TModulePage> page = Make();
            world->Show(page.get(), &alone);
            SelectRows(page.get(), 0);
            return page;
        };
        std::map<std::size_t, std::vector<TChange>> unedited;  // by control
        auto texts = [](QWidget* page) {
            QStringList shows;
            for (QWidget* field : Fields(page))
                shows << FieldText(field).value_or("(none)");
            return shows;
        };
        for (std::size_t k = 0, f = 0;;) {
            std::unique_ptr<TModulePage> page = shownAlone();
            const std::vector<QWidget*> fields = Fields(page.get());
            if (k >= Buttons(page.get()).size())
                return;
            if (!kApplies.count(ControlName(Buttons(page.get())[k]).toStdString()) || f >= fields.size()) {
                ++k;
                f = 0;
                continue;
            }
            QWidget* field = fields[f++];
            auto* number = qobject_cast<TNumberBox*>(field) ? qobject_cast<TNumberBox*>(field)
                                                             : field->findChild<TNumberBox*>();
            auto* edit = number ? number->findChild<QLineEdit*>() : qobject_cast<QLineEdit*>(field);
            if (!edit || !edit->isEnabled() || edit->isReadOnly() || !field->isVisibleTo(page.get()) ||
                edit->echoMode() != QLineEdit::Normal || edit->text().isEmpty())
                continue;
            // One more (one less at the highest); a text's last character
            // another.
            QString typed = edit->text();
            if (number) {
                const long long value = number->value();
                typed = QString::number(value < number->Highest() ? value + 1 : value - 1);
            } else {
                const QChar last = typed.back();
                typed.back() = last.isDigit() ? QChar('0' + (last.digitValue() + 1) % 10) : QChar(last == 'a' ? 'b' : 'a');
            }
            const QStringList before = texts(page.get());
            Type(edit, typed);
            QStringList expected = texts(page.get());
            QAbstractButton* button = Buttons(page.get())[k];
            if (!button->isEnabled() || expected == before)
                continue;
            const TOutcome outcome = world->Press(page.get(), button);
            const auto sent = outcome.sent.find(shown);
            if (sent == outcome.sent.end())
                continue;
            // A field whose edit sends what an unedited press does (a form's
            // for another control), or edits a table's entry alone, is no
            // part of it.
            if (!unedited.count(k)) {
                std::unique_ptr<TModulePage> plain = shownAlone();
                unedited[k] = world->Press(plain.get(), Buttons(plain.get())[k]).sent[shown];
            }
            const QStringList differs = world->RoundTrip(shown, sent->second).split("; ", Qt::SkipEmptyParts);
            const std::map<std::uint16_t, TBytes> after = world->After(shown, sent->second);
            if (after.empty() || sent->second == unedited[k] ||
                std::all_of(differs.begin(), differs.end(), [](const QString& record) {
                    return TWorld::IsTable(record.mid(2, 4).toUShort(nullptr, 16));
                }))
                continue;
            world->AnswerWith(shown, after);
            const QStringList again = texts(shownAlone().get());
            world->AnswerWith(shown, {});
            QStringList unlike;
            for (qsizetype i = 0; i < std::max(again.size(), expected.size()); ++i)
                if (again.value(i) != expected.value(i))
                    unlike << QString("field %1 shows \"%2\", not \"%3\"").arg(i + 1).arg(again.value(i), expected.value(i));
            EXPECT_TRUE(unlike.isEmpty()) << name << " \"" << ControlName(button).toStdString() << "\"" << where
                                          << ": field " << f << " typed \"" << typed.toStdString() << "\" over \""
                                          << before.join("\", \"").toStdString() << "\", shown again: "
                                          << unlike.join("; ").toStdString() << "; sent " << Text(sent->second).toStdString();
        }
    }

    std::unique_ptr<TPageTestEnvironment> env;
    std::unique_ptr<TWorld> world;
    TFakePageHost other;  // the switch a page showed before
    std::vector<TTarget> targets;
    std::vector<TFakePageHost> hosts;
    std::vector<std::unique_ptr<TModulePage>> own;
    std::vector<std::pair<std::string, QString>> ownFresh;  // each own page's world and what it showed when new
    std::vector<std::unique_ptr<TModulePage>> spare;  // Shown's pages back from their users
    std::map<std::string, QString> freshShown;        // what a new page of Shown showed, by setting and world
    std::vector<QStringList> ownTold;  // what each own page said while set as the page on show
    std::vector<bool> unreadable;      // a target of a count of none whose page is not available
    Intp::TDevice* shown = nullptr;
    int worldSeed = 0;
    bool oneTree = false;
    TValues values;  // those of the switch on show

private:
    int m_Threshold = Intp::g_LayoutThreshold;
    // Pages live in a window never shown: nothing is painted.
    mutable QWidget m_Owner;
};

TEST_P(AsIfAlone, EachTargetTakesWhatItsOwnPageSendsOrIsNamed)
{
    const std::string name = PageIdName(GetParam());
    if (!Make()) {
        Coverage::Skip(name, "not a device page of the kit");
        GTEST_SKIP() << "not a device page of the kit";
    }
    // A transfer runs each switch in a row of its own, told there.
    if (Make()->inherits("TTransferPage")) {
        Coverage::Skip(name, Controls(Make().get()) +
                                 ": a transfer page, each switch runs in a row of its own and is told there");
        GTEST_SKIP() << "a transfer page";
    }
    const std::size_t controls = Buttons(Make().get()).size();
    std::map<std::size_t, TTally> tally;
    std::map<std::size_t, QString> names, unpressed;
    std::set<std::size_t> pressed;  // on some world
    std::map<std::string, int> roundTrips;
    for (const int seed : Worlds()) {
        // AS_IF_ALONE_FIRST_FAILURE: no world after the first that fails.
        if (HasFailure() && qEnvironmentVariableIsSet("AS_IF_ALONE_FIRST_FAILURE"))
            break;
        NewWorld(seed);
        // A page that shows each switch in a row of its own plans each one's
        // change there (IP configuration: an address of its own each).
        if (std::unique_ptr<TModulePage> page = Make();
            world->Show(page.get(), &env->host), RowPerSwitch(page.get(), env->host.selection)) {
            Coverage::Skip(name, Controls(page.get()) +
                                     ": each switch is shown in a row of its own, its change planned there");
            GTEST_SKIP() << "a row per switch";
        }
        const std::string where = " (world " + std::to_string(seed) + ", AS_IF_ALONE_SEED=" + std::to_string(seed) +
                                  " runs it alone)";
        ShownFails(seed, name + where);
        UneditedApply(where, roundTrips);
        // A row selected fills the form with what it shows: fresh, and
        // after another switch in every other world.
        {
            TFakePageHost alone;
            alone.selection = {shown};
            std::unique_ptr<TModulePage> page = Make();
            if (seed % 2)
                world->Show(page.get(), &other);
            world->Show(page.get(), &alone);
            const QString unlike = FormUnlikeRows(page.get());
            EXPECT_TRUE(unlike.isEmpty()) << name << where << ": a row selected, the form shows otherwise: "
                                          << unlike.left(600).toStdString();
        }
        if (seed % 2 == 0)
            UntickedApply(where);
        else if (seed % 4 == 1)
            EditedApply(where);

        // A control that sends no change is tried once more at the end, the
        // entries the page's own Add sent held by the switches (a Delete of a
        // table whose made-up entries the page does not list).
        std::vector<std::size_t> order(controls);
        std::iota(order.begin(), order.end(), 0);
        std::map<std::size_t, QString> missed;
        bool namesRead = false;
        for (std::size_t n = 0, last = order.size(); n < order.size(); ++n) {
            const std::size_t k = order[n];
            if (n == last)
                world->Hold();
            if (n >= last && !world->Added()) {
                if (!pressed.count(k))
                    unpressed[k] = missed[k];
                continue;
            }
            QString control, why;
            TSetting setting;
            const TOutcome dry = Dry(k, control, setting, why);
            names[k] = control;
            if (!dry.AnyChange() && !dry.told.join('\n').contains(": not changed")) {
                if (n < last && why != "hidden") {
                    order.push_back(k);
                    missed[k] = why;
                } else if (!pressed.count(k)) {
                    unpressed[k] = why;
                }
                continue;
            }
            unpressed.erase(k);
            pressed.insert(k);
            // Rows are selected for a control that sends another change with them.
            int rows = 0;
            TSetting unselected = {false, setting.from, setting.row, setting.form};
            TPage first = Shown(unselected, &rows);
            setting.select = !Buttons(first.get()).at(k)->isEnabled() ||
                             world->Press(first.get(), Buttons(first.get()).at(k)).sent != dry.sent;
            // A same-model target the world leaves to its own page, whose own
            // page can't take the change on its values, is tried on others as
            // far from the model's as those on show: the case where it takes
            // it is met; so is one of an edge its values are no part of
            // (entries, ports, full lists). The other targets keep their
            // worlds, whose cases are what a change must name or keep.
            first = Shown(setting, &rows);
            auto redrawn = [&](std::size_t i) {
                const TEdge edge = targets[i].edge;
                return targets[i].kind.startsWith("same model") && edge != TEdge::unshowable &&
                       edge != TEdge::lowest && edge != TEdge::highest && edge != TEdge::nearRecord;
            };
            for (std::size_t i = 0; i < targets.size(); ++i)
                for (int more = 1; redrawn(i) && WorldWhy(i) == TWhy::none && int(i) != setting.from && more < 4;
                     ++more) {
                    if (OwnPageSends(first.get(), i, k, dry.Deletes()))
                        break;
                    world->Reseed(Target(i), targets[i].seed + more * 1000, values);
                }
            // As found, then with the first and with the last port the
            // switch on show lists chosen in its port choosers and lines.
            // Then with a middle and the last row selected, and with none (a
            // typed form).
            // Then, in every third world, with its fields typed. Every other
            // one on a page that showed another switch first.
            for (int port = 0; port < (worldSeed % 3 == 1 ? 7 : 6); ++port) {
                TSetting chosen = setting;
                chosen.port = port < 3 ? port : 0;
                const bool rowed = setting.select && setting.from < 0;
                if (port >= 3 && port < 6 && !rowed)
                    continue;
                chosen.selected = port == 3 ? TSetting::middleRow : port == 4 ? TSetting::lastRow : setting.selected;
                chosen.select = setting.select && port != 5;
                chosen.history = (worldSeed + port) % 2;
                chosen.typed = port == 6;
                rows = 0;
                first = Shown(chosen, &rows);
                if ((port && port < 3 && !chosen.port) || (port == 3 && rows < 3) || (port == 4 && rows < 2) ||
                    (port == 6 && !chosen.typed) || (port && !Buttons(first.get()).at(k)->isEnabled()))
                    continue;
                std::vector<QString> cannot(targets.size());
                for (std::size_t i = 0; i < targets.size(); ++i)
                    if (WorldWhy(i) == TWhy::none)
                        cannot[i] = OwnPage(first.get(), i, k, dry.Deletes());
                // A text typed goes to every switch that takes the change as
                // it goes to the switch on show (typed before the press: a
                // refill after it takes the mark).
                std::vector<QByteArray> typed = chosen.typed ? TypedTexts(first.get()) : std::vector<QByteArray>();
                const TOutcome outcome = world->Press(first.get(), Buttons(first.get()).at(k));
                // A port chosen that the page on show refuses itself (two
                // choosers at one port) is no case.
                if (port && !outcome.AnyChange() && !outcome.told.join('\n').contains(": not changed"))
                    continue;
                TTally& t = tally[k];
                const auto onShown = outcome.sent.find(shown);
                std::erase_if(typed, [&](const QByteArray& text) {
                    return onShown == outcome.sent.end() || !Carries(onShown->second, text);
                });
                for (std::size_t i = 0; i < targets.size(); ++i) {
                    Intp::TDevice* target = Target(i);
                    const std::vector<TChange> sent =
                        outcome.sent.count(target) ? outcome.sent.at(target) : std::vector<TChange>{};
                    const std::optional<QString> named = NamedWhy(outcome, target);
                    std::string fault;
                    auto said = [&] {
                        return (named ? "named (" + named->toStdString() + ")" : std::string("not named")) + ", sent " +
                               Text(sent).toStdString();
                    };
                    const TWhy expect = WorldWhy(i);
                    std::vector<TChange> expected;
                    bool ambiguous = false;
                    if (expect != TWhy::none) {
                        // The world's reason: named for it, sent nothing.
                        if (!named || !sent.empty() || KindOf(*named) != expect)
                            fault = std::string("the world says named, ") + WhyText(expect) + "; it was " + said();
                    } else {
                        QAbstractButton* same = Buttons(own[i].get()).at(k);
                        if (cannot[i].isEmpty() && !same->isEnabled() && !(Retick(own[i].get()) && same->isEnabled()))
                            cannot[i] = "\"" + control + "\" is off there";
                        // An entry it can't be told apart by: pressed there too,
                        // either outcome is right.
                        ambiguous = cannot[i].startsWith(kAmbiguous);
                        TOutcome itself;
                        if (cannot[i].isEmpty() || (ambiguous && same->isEnabled()))
                            itself = world->Press(own[i].get(), same);
                        expected = itself.sent[target];
                        // Its own page names it only for what its own page can't
                        // do, for a reason the world gives it.
                        if (const std::optional<QString> self = NamedWhy(itself, target);
                            self && (KindOf(*self) != TWhy::own || !WorldGives(i, About(*self), *self) ||
                                     !EntryReasonHolds(i, *self, outcome, cannot[i])))
                            fault = "its own page names it for what the world does not give (" + self->toStdString() + ")";
                        // Alone on its own page, what its model can't take keeps
                        // the control off: it is told before a press, not after.
                        if (const std::optional<QString> self = NamedWhy(itself, target);
                            self && fault.empty() && About(*self) == TAbout::model && !kModelToldOnPress.count(name))
                            fault = "its own page, \"" + control.toStdString() + "\" on, names it for its model (" +
                                    self->toStdString() + ")";
                        if (own[i]->IsUnavailable() && fault.empty())
                            fault = "its own page is not available (" + own[i]->StatusLine()->text().toStdString() +
                                    "), though no read it waits for failed";
                        if (cannot[i].isEmpty() && expected.empty())
                            cannot[i] = "its own page sends nothing" +
                                        (itself.told.isEmpty() ? QString() : ": " + itself.told.join(" / ").simplified());
                        // A count or port it lacks is given too where it lacks
                        // what the page shows.
                        const bool lacks = cannot[i].contains(QRegularExpression("^no (choice|row|line|entry) "));
                        const TAbout about = named ? About(*named) : TAbout::check;
                        // A check of its own page names it only where the world
                        // built it so that its own page, pressed, refuses.
                        const bool refuses = cannot[i].startsWith("its own page sends nothing") ||
                                             cannot[i].endsWith(" is off there") || cannot[i].startsWith(kUntold) ||
                                             ambiguous;
                        const bool reason =
                            named && KindOf(*named) == TWhy::own &&
                            (about == TAbout::check ? refuses || CheckHolds(i, *named) ||
                                                          (ownTold[i] + itself.told).join('\n').contains(*named)
                                                    : WorldGives(i, about, *named) ||
                                                          (lacks && ((about == TAbout::model && ModelCountHolds(i, *named)) ||
                                                                     about == TAbout::port))) &&
                            EntryReasonHolds(i, *named, outcome, cannot[i]);
                        const bool right = cannot[i].isEmpty() ? sent == expected && !named
                                           : ambiguous ? (sent.empty() && reason) || (sent == expected && !named)
                                           : cannot[i].startsWith(kUntold)
                                               ? (sent.empty() && reason) || (!named && SendsHeldKeys(i, sent, outcome))
                                               : sent.empty() && reason;
                        if (fault.empty() && right && !sent.empty() && targets[i].edges.refusal &&
                            !RefusalTold(outcome, target, targets[i].edges.refusal))
                            fault = "it answered its change " + QString::asprintf("0x%04x", targets[i].edges.refusal).toStdString() +
                                    ", and the outcome does not tell it: " + outcome.told.join(" / ").simplified().toStdString();
                        if (fault.empty() && !right)
                            fault = "its own page " +
                                    (cannot[i].isEmpty() ? "sends " + Text(expected).toStdString()
                                                         : "can't (" + cannot[i].toStdString() + "), so it is named") +
                                    "; it was " +
                                    (cannot[i].isEmpty() && !named ? "sent " + Diff(expected, sent).toStdString()
                                                                   : said());
                        const std::size_t e = std::size_t(targets[i].edge);
                        t.edgeMet[e] += cannot[i].isEmpty() || lacks || ambiguous || cannot[i].startsWith(kUntold) ||
                                        (named && reason && (about == TAbout::model || about == TAbout::port));
                        if (cannot[i].isEmpty()) {
                            ++t.compared;
                            ++t.edgeCompared[e];
                            t.sameCompared += port == 0 && targets[i].edge == TEdge::random && !targets[i].otherGeneration;
                        } else {
                            if (!t.why.contains(cannot[i].left(80)))
                                t.why << cannot[i].left(80);
                            if (!t.edgeWhy[e].contains(cannot[i].left(60)) && t.edgeWhy[e].size() < 3)
                                t.edgeWhy[e] << cannot[i].left(60);
                        }
                    }
                    for (const QByteArray& text : typed)
                        if (fault.empty() && !sent.empty() && !Carries(sent, text))
                            fault = "the text typed \"" + text.toStdString() + "\" does not reach it: it was sent " +
                                    Text(sent).toStdString();
                    t.edgeMet[std::size_t(targets[i].edge)] += expect != TWhy::none;
                    if (expect != TWhy::none && !t.edgeWhy[std::size_t(targets[i].edge)].contains(WhyText(expect)))
                        t.edgeWhy[std::size_t(targets[i].edge)] << WhyText(expect);
                    ++t.edgeTargets[std::size_t(targets[i].edge)];
                    t.targets += 1;
                    t.sameModel += port == 0 && targets[i].edge == TEdge::random && !targets[i].otherGeneration;
                    EXPECT_TRUE(fault.empty()) << name << " \"" << control.toStdString() << "\" to a switch of "
                                               << targets[i].kind.toStdString() << kPortSettings[port] << where << ": " << fault;
                }
                // The first press of the world, made before anything read a
                // port name the page does not read itself, again once every
                // switch's port names were read: the same bytes to each.
                if (!namesRead) {
                    namesRead = true;
                    for (Intp::TDevice* device : env->host.selection)
                        TModulePage::StartFor<Intp::TSessionPortNameGet>(device);
                    world->Settle();
                    TSetting again = chosen;
                    TPage later = Shown(again);
                    const TOutcome second = world->Press(later.get(), Buttons(later.get()).at(k));
                    for (Intp::TDevice* device : env->host.selection) {
                        const auto a = outcome.sent.find(device), b = second.sent.find(device);
                        const std::vector<TChange> before = a == outcome.sent.end() ? std::vector<TChange>() : a->second,
                                                   after = b == second.sent.end() ? std::vector<TChange>() : b->second;
                        EXPECT_TRUE(before == after)
                            << name << " \"" << control.toStdString() << "\"" << where
                            << ": once the port names were read, " << TChangeReport::DeviceText(device).toStdString()
                            << " was sent " << Diff(before, after).toStdString() << ", before " << Text(before).toStdString();
                    }
                }
            }
        }
    }
    if (!roundTrips.empty()) {
        QStringList counts;
        for (const auto& [what, n] : roundTrips)
            counts << QString("%1 %2").arg(n).arg(QString::fromStdString(what));
        Coverage::Note(name, "Apply", "unedited: " + counts.join(", "));
    }
    // Every control pressed is compared on at least a third of the same-model
    // targets' own pages over the worlds; else the test says why.
    // A control that sends no change on any setting tried is one that
    // edits the form alone, logs in or reboots, or opens a web page.
    static const QRegularExpression noChange(
        "^(hidden|sends no change|sends only a login or a reboot.*|refused: Cannot open http.*)$");
    for (const auto& [k, why] : unpressed) {
        Coverage::Add(name, names[k], why);
        // A glyph button that stays off opens a view (a banner's log).
        const bool view = names[k].startsWith("(QToolButton") && why == "off on every value set";
        EXPECT_TRUE(why.contains(noChange) || view)
            << name << " \"" << names[k].toStdString() << "\" was not pressed on any world: " << why.toStdString();
    }
    for (const auto& [k, t] : tally) {
        Coverage::Add(name, names[k],
                      QString("pressed; compared on %1 of %2 targets' own pages, %3 of %4 same-model")
                              .arg(t.compared)
                              .arg(t.targets)
                              .arg(t.sameCompared)
                              .arg(t.sameModel) +
                          (t.why.isEmpty() ? QString() : " (" + t.why.join("; ") + ")"));
        auto known = [&](const char* edge) {
            return std::find_if(std::begin(kBelowFloor), std::end(kBelowFloor), [&](const auto& below) {
                return name == below.page && names[k] == below.control &&
                       (edge && below.edge ? std::string_view(below.edge) == "*" || std::string_view(edge) == below.edge
                                           : !edge && !below.edge);
            });
        };
        const auto below = known(nullptr);
        // By edge kind; one whose outcome the edge decided for fewer than
        // a third of its targets fails, unless known above.
        QStringList edges;
        for (std::size_t e = 0; e < std::size_t(TEdge::count); ++e)
            if (t.edgeTargets[e]) {
                const bool floor = 3 * t.edgeMet[e] >= t.edgeTargets[e];
                edges << QString("%1 %2/%3").arg(kEdgeNames[e]).arg(t.edgeCompared[e]).arg(t.edgeTargets[e]) +
                             (floor ? QString() : " (below the floor: " + t.edgeWhy[e].join("; ") + ")");
                // A few worlds (the sanitized build's) hold too few targets
                // of an edge to judge it.
                EXPECT_TRUE(floor || Worlds().size() < 20 || known(kEdgeNames[e]) != std::end(kBelowFloor))
                    << name << " \"" << names[k].toStdString() << "\", edge " << kEdgeNames[e] << ": the edge decided "
                    << t.edgeMet[e] << " of " << t.edgeTargets[e] << " targets' outcomes: "
                    << t.edgeWhy[e].join("; ").toStdString();
            }
        Coverage::Note(name, names[k], "by edge: " + edges.join(", "));
        if (below != std::end(kBelowFloor)) {
            Coverage::Note(name, names[k], QString("below the floor: ") + below->why);
            continue;
        }
        EXPECT_TRUE(3 * t.sameCompared >= t.sameModel || Worlds().size() < 20)
            << name << " \"" << names[k].toStdString() << "\" was compared on " << t.sameCompared << " of "
            << t.sameModel << " same-model targets' own pages: " << t.why.join("; ").toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, AsIfAlone, ::testing::ValuesIn(DevicePages()),
                         [](const auto& info) { return std::string(PageIdName(info.param)); });

}  // namespace
