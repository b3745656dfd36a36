// Every change of every page reaches each selected switch as if made on
// that switch's own page: the switch on show and the targets are selected
// and a control is pressed; then each target's own page, its controls set
// to what the first page shows, presses the same control. The target must
// take exactly what its own page sends, or, where its own page can't do
// it, be named as not changed and sent nothing.

#include "OracleKit.h"
#include "PageTestKit.h"
#include "pages/kit/PageRegistry.h"

#include <QAbstractButton>
#include <QWidget>

#include <array>
#include <iostream>
#include <map>
#include <numeric>

using namespace Oracle;

void PrintTo(TPageId id, std::ostream* os) { *os << PageIdName(id); }

namespace {

// The model counts a page may use.
struct TCounts {
    std::uint32_t ports = 8, groups = 2, members = 4, recipients = 4, communities = 4, secureIps = 10, tagVids = 16;
};

struct TTarget {
    QString kind;
    TCounts counts;
    int seed;
    std::uint16_t failure = 0;
    bool otherGeneration = false;
};

// Same-model switches with other values, more and fewer of every count,
// the other generation, and latest reads that timed out or were refused.
std::vector<TTarget> Targets()
{
    std::vector<TTarget> targets = {{"same model", {}, 2}, {"same model", {}, 3}, {"same model", {}, 4}};
    const struct {
        const char* name;
        std::uint32_t TCounts::*count;
        std::uint32_t fewer, more;
    } counts[] = {{"ports", &TCounts::ports, 4, 16},
                  {"trunk groups", &TCounts::groups, 1, 3},
                  {"trunk members", &TCounts::members, 2, 8},
                  {"e-mail recipients", &TCounts::recipients, 2, 6},
                  {"community slots", &TCounts::communities, 2, 6},
                  {"secure IP places", &TCounts::secureIps, 5, 12},
                  {"tag VIDs", &TCounts::tagVids, 8, 24}};
    int seed = 10;
    for (const auto& c : counts) {
        for (const bool more : {false, true}) {
            TTarget target{QString(more ? "more " : "fewer ") + c.name, {}, seed++};
            target.counts.*c.count = more ? c.more : c.fewer;
            targets.push_back(target);
        }
    }
    targets.push_back({"other generation", {}, 40, 0, true});
    targets.push_back({"16 ports, latest read timed out", {.ports = 16}, 41, Intp::ssTimeout});
    targets.push_back({"latest read refused", {}, 42, 1});
    return targets;
}

std::uint32_t Model(const TCounts& c)
{
    return TestModel(c.ports, c.recipients, c.groups, c.members, c.communities, c.secureIps, c.tagVids);
}

// The page's controls by name.
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
        ++Counts()[what.startsWith("pressed; on 0 ") ? 1 : what.startsWith("pressed") ? 0 : 2];
    }
    static void Skip(const std::string& page, const QString& why)
    {
        Lines()[page] << "not run: " + why;
        ++Counts()[3];
    }
    // Pressed on the first page; on the second where cannot is empty.
    static void Pressed(const std::string& page, const QString& control, const std::vector<QString>& cannot)
    {
        const auto alone = std::count(cannot.begin(), cannot.end(), QString());
        QStringList why;
        for (const QString& one : cannot)
            if (!one.isEmpty() && !why.contains(one))
                why << one;
        Add(page, control,
            QString("pressed; on %1 of %2 targets' own pages").arg(alone).arg(cannot.size()) +
                (alone ? QString() : " (" + why.join("; ") + ")"));
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

class AsIfAlone : public ::testing::TestWithParam<TPageId> {
protected:
    void TearDown() override { Intp::g_LayoutThreshold = m_Threshold; }

    std::unique_ptr<TModulePage> Make() const
    {
        for (const TPageType& type : RegisteredPages()) {
            if (type.id != GetParam())
                continue;
            TModule* module = type.make(&m_Owner);
            if (type.configure)
                type.configure(module);
            if (auto* page = dynamic_cast<TModulePage*>(module))
                return std::unique_ptr<TModulePage>(page);
            delete dynamic_cast<QObject*>(module);
        }
        return nullptr;
    }

    // The switch on show, then the targets: the page's generation, the other
    // one's model across the threshold.
    void AddSwitches(bool second)
    {
        const std::uint32_t early = Model({}), shownModel = Model({});
        std::vector<std::uint32_t> models;
        for (const TTarget& target : targets)
            models.push_back(Model(target.counts));
        const std::uint32_t late = Model({});
        Intp::g_LayoutThreshold = int(second ? early : late - 1);
        shown = world.AddSwitch(shownModel, 1, 0, true);
        env.host.selection = {shown};
        for (std::size_t i = 0; i < targets.size(); ++i)
            env.host.selection.push_back(world.AddSwitch(
                targets[i].otherGeneration ? (second ? early : late) : models[i], targets[i].seed, targets[i].failure));
    }

    // How the page on show is set before a control is pressed: its first
    // rows selected or not, and its form typed in from a row of a target's
    // page (from: the target, -1 none).
    struct TSetting {
        bool select = true;
        int from = -1, row = 0;
        enum { as, filled, largest } form = as;  // as shown, its empty fields filled, its numbers largest
    };
    std::unique_ptr<TModulePage> Shown(const TSetting& setting, int* rows = nullptr)
    {
        std::unique_ptr<TModulePage> page = Make();
        world.Show(page.get(), &env.host);
        // A form typed from another switch's row names its entry: no row of
        // its own is selected then.
        if (setting.select && setting.from < 0)
            SelectRows(page.get(), 0);
        if (setting.from >= 0) {
            TFakePageHost host;
            host.selection = {env.host.selection[std::size_t(setting.from) + 1]};
            std::unique_ptr<TModulePage> source = Make();
            world.Show(source.get(), &host);
            const int held = SelectRows(source.get(), setting.row);
            if (rows)
                *rows = held;
            CopyShown(source.get(), page.get(), TCopy::form);
        }
        if (setting.form == TSetting::filled)
            FillEmpty(page.get());
        if (setting.form == TSetting::largest)
            Largest(page.get());
        return page;
    }

    // What control k does on show (why: why it sends no change). A control
    // that is off, or refused by the switch on show's own check, is tried on
    // other values of that switch, the later ones nearer the model's (a
    // record's own check, distinct priorities say, passes there); one off
    // there on the form of another switch's entry (an Add of an entry it
    // holds), then on its empty form filled (a new password), then on its
    // numbers at their largest (a key no entry has).
    TOutcome Dry(std::size_t k, QString& control, TSetting& setting, QString& why)
    {
        TOutcome dry;
        // Values two steps off (a mode the page is for) last.
        static const TValues tries[] = {{}, {}, {}, {}, {8}, {4}, {2}, {1}, {96, 2}, {96, 2}};
        for (std::size_t t = 0; t < std::size(tries) && !dry.AnyChange(); ++t) {
            values = tries[t];
            world.Reseed(shown, 1 + int(t) * 1000, values);
            setting = {};
            std::unique_ptr<TModulePage> page = Shown(setting);
            QAbstractButton* button = Buttons(page.get()).at(k);
            control = ControlName(button);
            if (!button->isVisibleTo(page.get())) {
                why = "hidden";
                break;
            }
            for (int from = 0, rows = 1; t == 0 && !button->isEnabled() && from < 3; ++from)
                for (int row = 0; row < rows && !button->isEnabled(); ++row) {
                    setting = {true, from, row};
                    page = Shown(setting, &rows);
                    button = Buttons(page.get()).at(k);
                }
            for (auto form : {TSetting::filled, TSetting::largest})
                if (!button->isEnabled()) {
                    setting = {.select = false, .form = form};
                    page = Shown(setting);
                    button = Buttons(page.get()).at(k);
                }
            if (!button->isEnabled()) {
                if (why.isEmpty())
                    why = "off on every value set";
                continue;
            }
            dry = world.Press(page.get(), button);
            why = !dry.told.isEmpty() ? "refused: " + dry.told.join(" / ").simplified()
                  : dry.leftOut       ? "sends only a login or a reboot, which no page compares"
                                      : "sends no change";
        }
        return dry;
    }

    // What the target's own page can't do of what first shows, its controls
    // set to it (empty: it can); a delete takes the target's own entry of
    // the key, when its page's own key finds it there.
    QString OwnPage(TModulePage* first, std::unique_ptr<TModulePage>& own, TFakePageHost& host, std::size_t k,
                    bool deletes)
    {
        own = Make();
        world.Show(own.get(), &host);
        if (own->IsUnavailable())
            return "its page is not available";
        QString cannot = CopyShown(first, own.get(), deletes ? TCopy::entry : TCopy::shown);
        if (deletes && cannot.isEmpty()) {
            std::unique_ptr<TModulePage> typed = Make();
            world.Show(typed.get(), &host);
            CopyShown(first, typed.get());
            if (!Buttons(typed.get()).at(k)->isEnabled())
                cannot = "no such entry by its key";
        }
        return cannot;
    }

    TPageTestEnvironment env;
    TWorld world{env};
    const std::vector<TTarget> targets = Targets();
    Intp::TDevice* shown = nullptr;
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
    AddSwitches(Make()->TreeLayouts() == 2);
    // A page that shows each switch in a row of its own plans each one's
    // change there (IP configuration: an address of its own each).
    if (std::unique_ptr<TModulePage> page = Make();
        world.Show(page.get(), &env.host), RowPerSwitch(page.get(), env.host.selection)) {
        Coverage::Skip(name,
                       Controls(page.get()) + ": each switch is shown in a row of its own, its change planned there");
        GTEST_SKIP() << "a row per switch";
    }

    // A control that sends no change is tried once more at the end, the
    // entries the page's own Add sent held by the switches (a Delete of a
    // table whose made-up entries the page does not list).
    std::vector<std::size_t> order(Buttons(Make().get()).size());
    std::iota(order.begin(), order.end(), 0);
    std::map<std::size_t, std::pair<QString, QString>> missed;  // control and why, by index
    for (std::size_t n = 0, last = order.size(); n < order.size(); ++n) {
        const std::size_t k = order[n];
        if (n == last)
            world.Hold();
        if (n >= last && !world.Added()) {
            Coverage::Add(name, missed[k].first, missed[k].second);
            continue;
        }
        QString control, why;
        TSetting setting;
        const TOutcome dry = Dry(k, control, setting, why);
        if (!dry.AnyChange() && !dry.told.join('\n').contains(": not changed")) {
            if (n < last && why != "hidden") {
                order.push_back(k);
                missed[k] = {control, why};
            } else {
                Coverage::Add(name, control, why);
            }
            continue;
        }
        // Rows are selected for a control that sends another change with them.
        int rows = 0;
        std::unique_ptr<TModulePage> first = Shown({false, setting.from, setting.row, setting.form}, &rows);
        setting.select = !Buttons(first.get()).at(k)->isEnabled() ||
                         world.Press(first.get(), Buttons(first.get()).at(k)).sent != dry.sent;
        std::vector<TFakePageHost> hosts(targets.size());
        std::vector<std::unique_ptr<TModulePage>> own(targets.size());
        std::vector<QString> cannot(targets.size());
        for (std::size_t i = 0; i < targets.size(); ++i)
            hosts[i].selection = {env.host.selection[i + 1]};
        // A same-model target whose own page refuses the change on its
        // values is tried on others, as far from the model's as those on
        // show: the case where it takes it is met.
        first = Shown(setting, &rows);
        for (std::size_t i = 0; i < targets.size(); ++i)
            for (int seed = targets[i].seed; targets[i].kind == "same model" && int(i) != setting.from && seed < 4000;
                 seed += 1000) {
                world.Reseed(hosts[i].selection.front(), seed, values);
                if (!OwnPage(first.get(), own[i], hosts[i], k, dry.Deletes()).isEmpty() ||
                    world.Press(own[i].get(), Buttons(own[i].get()).at(k)).AnyChange())
                    break;
            }
        first = Shown(setting, &rows);
        for (std::size_t i = 0; i < targets.size(); ++i)
            cannot[i] = OwnPage(first.get(), own[i], hosts[i], k, dry.Deletes());
        const TOutcome outcome = world.Press(first.get(), Buttons(first.get()).at(k));
        for (std::size_t i = 0; i < targets.size(); ++i) {
            Intp::TDevice* target = hosts[i].selection.front();
            QAbstractButton* same = Buttons(own[i].get()).at(k);
            if (cannot[i].isEmpty() && !same->isEnabled())
                cannot[i] = "\"" + control + "\" is off there";
            // An entry it can't be told apart by: pressed there too, either
            // outcome is right.
            const bool ambiguous = cannot[i].startsWith(kAmbiguous);
            TOutcome itself;
            if (cannot[i].isEmpty() || (ambiguous && same->isEnabled()))
                itself = world.Press(own[i].get(), same);
            const std::vector<TChange>& expected = itself.sent[target];
            if (cannot[i].isEmpty() && expected.empty())
                cannot[i] = "its own page sends nothing" +
                            (itself.told.isEmpty() ? QString() : ": " + itself.told.join(" / ").simplified());
            const std::vector<TChange> sent =
                outcome.sent.count(target) ? outcome.sent.at(target) : std::vector<TChange>{};
            const bool named = outcome.Named(target);
            const bool right = cannot[i].isEmpty() ? sent == expected && !named
                               : ambiguous ? (sent.empty() && named) || (sent == expected && !named)
                                           : sent.empty() && named;
            EXPECT_TRUE(right) << PageIdName(GetParam()) << " \"" << control.toStdString() << "\" to a switch of "
                               << targets[i].kind.toStdString() << ": its own page "
                               << (cannot[i].isEmpty()
                                       ? "sends " + Text(expected).toStdString()
                                       : "can't (" + cannot[i].toStdString() + "), so it is named, sent nothing")
                               << "; it was sent "
                               << (cannot[i].isEmpty() ? Diff(expected, sent) : Text(sent)).toStdString()
                               << (named ? " and named" : ", not named");
        }
        Coverage::Pressed(name, control, cannot);
    }
}

INSTANTIATE_TEST_SUITE_P(Pages, AsIfAlone, ::testing::ValuesIn(DevicePages()),
                         [](const auto& info) { return std::string(PageIdName(info.param)); });

}  // namespace
