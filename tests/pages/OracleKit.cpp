#include "OracleKit.h"

#include "intp/CommandTable.h"
#include "intp/Device.h"
#include "intp/DeviceType.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageTree.h"
#include "pages/kit/UntypedEditedList.h"
#include "tests/fakeswitch/FakeSwitch.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTextDocument>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSet>
#include <QSpinBox>
#include <QTextStream>
#include <QTimer>
#include <QTreeView>
#include <QToolButton>

#include <algorithm>
#include <bit>
#include <cctype>
#include <functional>
#include <iterator>
#include <map>
#include <numeric>
#include <optional>
#include <random>
#include <tuple>

namespace Oracle {
namespace {

bool IsChangeCode(std::uint16_t code)
{
    const Intp::TCommandInfo* info = Intp::FindCommand(code);
    return info && std::string_view(info->record) == "-" && code != Intp::ccIntpLogin && code != Intp::ccBasicsReboot;
}

std::string CacheKey(const Intp::TDevice* device, int seed, std::uint16_t code, const TBytes& request)
{
    const Intp::TDeviceType& m = Intp::ModelOf(device);
    std::string key;
    for (std::uint32_t n :
         {m.PortNum, m.TrunkGroupNum, m.TrunkMemberNum, m.SmtpRecipientNum, m.SecureIpNum, m.SnmpCommunityNum,
          m.TagVidNum, std::uint32_t(IsSecondGeneration(device)), std::uint32_t(seed), std::uint32_t(code)})
        key += std::to_string(n) + ',';
    key.append(request.begin(), request.end());
    return key;
}

// The fake switch of the device's model and generation, as new.
FakeSwitch::TSwitch NewSwitch(const Intp::TDevice* device, const FakeSwitch::THandlerTable& handlers)
{
    FakeSwitch::TSwitch sw;
    sw.Settings.Model = Intp::ModelOf(device);
    sw.Settings.SecondGeneration = IsSecondGeneration(device);
    for (const auto& [code, entry] : handlers)
        if (entry.Initial)
            entry.Initial(sw.Settings, sw.Settings.Factory);
    sw.Running = sw.Settings.Factory;
    return sw;
}

const FakeSwitch::THandlerTable& Handlers()
{
    static const FakeSwitch::THandlerTable handlers = FakeSwitch::StandardHandlers();
    return handlers;
}

// A fake switch of the device's model and generation as new, made once.
FakeSwitch::TSwitch& Fresh(const Intp::TDevice* device)
{
    static std::map<std::string, FakeSwitch::TSwitch> switches;
    const std::string model = CacheKey(device, 0, 0, {});
    if (!switches.count(model))
        switches[model] = NewSwitch(device, Handlers());
    return switches[model];
}

// The fake switch's answer to a request of code with payload.
FakeSwitch::TReply Answer(FakeSwitch::TSwitch& sw, const FakeSwitch::THandlerEntry& entry, std::uint16_t code,
                          const TBytes& payload)
{
    FakeSwitch::TRequest r;
    r.Header.Code = code;
    r.Header.Length = std::uint16_t(payload.size());
    r.Payload = payload.data();
    r.PayloadSize = payload.size();
    return entry.Handler(sw, r);
}

// Inside a list, spin box or combo box of root: part of that control.
bool InsideControl(const QWidget* widget, const QWidget* root)
{
    for (const QWidget* p = widget->parentWidget(); p && p != root; p = p->parentWidget())
        if (qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QAbstractSpinBox*>(p) ||
            qobject_cast<const QComboBox*>(p))
            return true;
    return false;
}

std::vector<QWidget*> ValueControls(QWidget* root)
{
    std::vector<QWidget*> controls;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (InsideControl(w, root))
            continue;
        if (qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QLineEdit*>(w) ||
            qobject_cast<QPlainTextEdit*>(w) || qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w) ||
            qobject_cast<QListWidget*>(w) || qobject_cast<TUntypedReportList*>(w))
            controls.push_back(w);
    }
    return controls;
}

// The ports CopyShown matches by index: set while it runs.
const TPortLists* g_Ports = nullptr;

// The port index of each of texts (-1: a row of no port, a trunk group)
// when they hold one line or row per port of visible (indexes in row
// order): at their start, each numbered ("Port.03", by row or by index) or
// named as the switch names that port; or in any order (a list sorted by
// caption), each named or numbered by its index. Empty: no port list.
std::vector<int> PortRowsOnce(const QStringList& texts, const std::vector<int>& visible,
                              const std::vector<std::string>& names);

// What of a list's texts, made once for the last eight lists asked (a copy
// matches their rows one by one).
template <std::vector<int> (*Of)(const QStringList&, const std::vector<int>&, const std::vector<std::string>&)>
std::vector<int> Once(const QStringList& texts, const std::vector<int>& visible, const std::vector<std::string>& names)
{
    struct TKnown {
        QStringList texts;
        std::vector<int> visible;
        std::vector<std::string> names;
        std::vector<int> found;
    };
    static std::vector<TKnown> known;
    for (const TKnown& k : known)
        if (k.texts == texts && k.visible == visible && k.names == names)
            return k.found;
    if (known.size() >= 8)
        known.erase(known.begin());
    known.push_back({texts, visible, names, Of(texts, visible, names)});
    return known.back().found;
}

std::vector<int> PortRows(const QStringList& texts, const std::vector<int>& visible,
                          const std::vector<std::string>& names)
{
    return Once<PortRowsOnce>(texts, visible, names);
}

std::vector<int> PortRowsOnce(const QStringList& texts, const std::vector<int>& visible,
                              const std::vector<std::string>& names)
{
    if (visible.empty() || texts.size() < qsizetype(visible.size()))
        return {};
    auto named = [&](const QString& text, int index) {
        return std::size_t(index) < names.size() && text == QString::fromLatin1(names[std::size_t(index)]);
    };
    std::vector<int> rows(std::size_t(texts.size()), -1);
    bool ordered = true;
    for (std::size_t r = 0; r < visible.size() && ordered; ++r) {
        const int index = visible[r];
        const QString& text = texts[qsizetype(r)];
        ordered = text == QString::asprintf("Port.%02zu", r + 1) || text == QString::asprintf("Port.%02d", index + 1) ||
                  named(text, index);
        rows[r] = index;
    }
    if (ordered)
        return rows;
    // The first port of each name and number, in visible's order.
    QHash<QString, int> byName, byNumber;
    for (const int index : visible) {
        if (const QString name = std::size_t(index) < names.size() ? QString::fromLatin1(names[std::size_t(index)])
                                                                    : QString();
            !name.isNull() && !byName.contains(name))
            byName.insert(name, index);
        byNumber.insert(QString::asprintf("Port.%02d", index + 1), index);
    }
    std::set<int> found;
    for (qsizetype r = 0; r < texts.size(); ++r) {
        int index = byName.value(texts[r], -1);
        if (const int numbered = byNumber.value(texts[r], -1); index < 0 && numbered >= 0 && !found.count(numbered))
            index = numbered;
        rows[std::size_t(r)] = index;
        if (index >= 0 && !found.insert(index).second)
            return {};
    }
    return found.size() == visible.size() ? rows : std::vector<int>();
}

// The indexes of the rows or lines texts begins with: every port by its
// index on a page that lists them all (a port the world hides among them),
// each numbered ("Port.%02d" of the index) or named as the switch names it
// ("Port.XX" a hidden one), else those of visible.
std::vector<int> ListedPortsOnce(const QStringList& texts, const std::vector<int>& visible,
                                 const std::vector<std::string>& names);

std::vector<int> ListedPorts(const QStringList& texts, const std::vector<int>& visible,
                             const std::vector<std::string>& names)
{
    return Once<ListedPortsOnce>(texts, visible, names);
}

std::vector<int> ListedPortsOnce(const QStringList& texts, const std::vector<int>& visible,
                                 const std::vector<std::string>& names)
{
    // A page that keeps its ports in 32-bit masks lists the first 32 alone.
    if (texts.size() < qsizetype(visible.size()) && !visible.empty() && visible.back() >= 32) {
        std::vector<int> masked;
        std::copy_if(visible.begin(), visible.end(), std::back_inserter(masked), [](int index) { return index < 32; });
        const std::vector<std::string> first(names.begin(),
                                             names.begin() + std::ptrdiff_t(std::min<std::size_t>(names.size(), 32)));
        return ListedPorts(texts, masked, first);
    }
    // Every port listed: more lines than visible ports, the hidden ones among
    // them, in the order of the switch's port configuration; each numbered
    // or named as the switch names it (of alike names, the first port left).
    if (visible.empty() || visible.size() >= names.size())
        return visible;
    for (const bool numbered : {true, false}) {
        // The ports of each text, the first one left first.
        QHash<QString, std::vector<int>> ports;
        for (std::size_t i = names.size(); i-- > 0;)
            ports[numbered ? QString::asprintf("Port.%02zu", i + 1) : QString::fromLatin1(names[i])].push_back(int(i));
        std::vector<int> all;
        for (qsizetype r = 0; r < texts.size(); ++r) {
            const auto left = ports.find(texts[r]);
            if (left == ports.end() || left->empty())
                break;
            all.push_back(left->back());
            left->pop_back();
        }
        if (all.size() > visible.size())
            return all;
    }
    return visible;
}

// The row or line of the other switch showing the same port as row of the
// first (by the port's index); -1 when it shows none; -2 when the lists
// are no port lists or row shows no port.
int PortMatch(const QStringList& from, const QStringList& to, int row)
{
    if (!g_Ports)
        return -2;
    const std::vector<int> a = PortRows(from, ListedPorts(from, g_Ports->from, g_Ports->fromNames), g_Ports->fromNames),
                           b = PortRows(to, ListedPorts(to, g_Ports->to, g_Ports->toNames), g_Ports->toNames);
    if (row < 0 || row >= qsizetype(a.size()) || b.empty() || a[std::size_t(row)] < 0)
        return -2;
    const auto at = std::find(b.begin(), b.end(), a[std::size_t(row)]);
    return at == b.end() ? -1 : int(at - b.begin());
}

// Whether texts hold a row or line per port the first switch lists.
bool PortList(const QStringList& texts)
{
    return g_Ports && !PortRows(texts, ListedPorts(texts, g_Ports->from, g_Ports->fromNames), g_Ports->fromNames).empty();
}

// Whether a cell's text shows a value of entry: a text of it whole or in
// parts, numbers as any byte or 16- or 32-bit value, bytes in hex.
bool Shows(const QString& cell, const TBytes& entry)
{
    static const QRegularExpression split("[^0-9A-Za-z]+");
    const QStringList tokens = cell.split(split, Qt::SkipEmptyParts);
    if (tokens.isEmpty())
        return false;
    QString text;
    for (std::uint8_t b : entry)
        text += b >= 0x20 && b < 0x7f ? QChar(b) : QChar('\n');
    auto number = [&](unsigned long long v) {
        for (std::size_t p = 0; p < entry.size(); ++p)
            for (std::size_t n : {1, 2, 4}) {
                unsigned long long le = 0, be = 0;
                for (std::size_t k = 0; k < n && p + n <= entry.size(); ++k) {
                    le |= (unsigned long long)entry[p + k] << (8 * k);
                    be = be << 8 | entry[p + k];
                }
                if (p + n <= entry.size() && (le == v || be == v))
                    return true;
            }
        return false;
    };
    // Several numbers (an address): their bytes in a row, either way round.
    if (tokens.size() > 1) {
        TBytes row;
        const bool hex = cell.count(':') + cell.count('-') >= 2;
        for (const QString& token : tokens) {
            bool ok = false;
            const uint v = token.toUInt(&ok, hex ? 16 : 10);
            if (!ok || v > 255)
                break;
            row.push_back(std::uint8_t(v));
        }
        if (row.size() == std::size_t(tokens.size())) {
            const auto in = [&](const TBytes& bytes) {
                return std::search(entry.begin(), entry.end(), bytes.begin(), bytes.end()) != entry.end();
            };
            return in(row) || in(TBytes(row.rbegin(), row.rend()));
        }
    }
    return std::all_of(tokens.begin(), tokens.end(), [&](const QString& token) {
        bool ok = false;
        if (const unsigned long long v = token.toULongLong(&ok); ok)
            return number(v);
        if (const uint v = token.toUInt(&ok, 16); ok && token.size() == 2 && number(v))
            return true;
        return text.contains(token);
    });
}

// The entry of entries each row of a list shows: all of them in order
// when the list has a row each; else the rows in the entries' order (a
// page leaves some out), matched where their cells show most values, a
// value of the entry's key (key) counted twice. Where rows show as much of
// an earlier entry as of a later one, the earlier; late, when given, takes
// the later.
std::vector<int> RowEntries(const TListModel* list, const std::vector<TBytes>& entries,
                            const std::function<TBytes(const TBytes&)>& key, std::vector<int>* late = nullptr)
{
    const std::size_t n = std::size_t(list->RowCount()), m = entries.size();
    std::vector<int> rows(n, -1);
    if (n == m || n > m) {
        std::iota(rows.begin(), rows.end(), 0);
        if (n > m)
            std::fill(rows.begin(), rows.end(), -1);
        if (late)
            *late = rows;
        return rows;
    }
    // Not a column that numbers the rows.
    auto score = [&](std::size_t r, std::size_t e) {
        int sum = 0;
        for (int c = list->Cell(int(r), 0) == QString::number(r + 1) ? 1 : 0; c < list->ColumnCount(); ++c)
            sum += Shows(list->Cell(int(r), c), entries[e]) + Shows(list->Cell(int(r), c), key(entries[e]));
        return sum;
    };
    // best[r][e]: the most the first r rows show of the first e entries.
    const int none = -1000000;
    std::vector<std::vector<int>> best(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t r = 1; r <= n; ++r)
        for (std::size_t e = 0; e <= m; ++e)
            best[r][e] = e < r ? none
                               : std::max(e > r ? best[r][e - 1] : none, best[r - 1][e - 1] + score(r - 1, e - 1));
    for (std::size_t r = n, e = m; r > 0; --e)
        if (e == r || best[r][e] != best[r][e - 1])
            rows[--r] = int(e - 1);
    if (late) {
        late->assign(n, -1);
        for (std::size_t r = n, e = m; r > 0; --e)
            if (e == r || best[r][e] == best[r - 1][e - 1] + score(r - 1, e - 1))
                (*late)[--r] = int(e - 1);
    }
    return rows;
}

// A row whose entry can't be told.
constexpr int kUnknown = -3;

// The key of a table entry, as g_Ports tells it.
TBytes KeyOf(const TBytes& entry)
{
    const std::size_t at = std::min(g_Ports->keyAt, entry.size());
    return TBytes(entry.begin() + std::ptrdiff_t(at),
                  entry.begin() + std::ptrdiff_t(std::min(entry.size(), at + g_Ports->keyBytes)));
}

// RowEntries of the rows and the table entries by their keys (KeyOf), and
// its late: made once for the last eight lists and tables asked (a copy
// matches their rows one by one).
const std::pair<std::vector<int>, std::vector<int>>& EntriesShown(const TListModel* list,
                                                                  const std::vector<TBytes>& entries)
{
    struct TKnown {
        std::vector<QStringList> cells;
        std::vector<TBytes> entries;
        std::size_t keyAt, keyBytes;
        std::pair<std::vector<int>, std::vector<int>> rows;
    };
    static std::vector<TKnown> known;
    std::vector<QStringList> cells(std::size_t(list->RowCount()));
    for (int r = 0; r < list->RowCount(); ++r)
        for (int c = 0; c < list->ColumnCount(); ++c)
            cells[std::size_t(r)] << list->Cell(r, c);
    for (const TKnown& k : known)
        if (k.cells == cells && k.entries == entries && k.keyAt == g_Ports->keyAt && k.keyBytes == g_Ports->keyBytes)
            return k.rows;
    if (known.size() >= 8)
        known.erase(known.begin());
    std::vector<int> late;
    std::vector<int> rows = RowEntries(list, entries, KeyOf, &late);
    known.push_back({std::move(cells), entries, g_Ports->keyAt, g_Ports->keyBytes, {std::move(rows), std::move(late)}});
    return known.back().rows;
}

// Whether each row of a list shows the key of the table entry it stands
// for: a list of entries, even one whose first cells name ports in order.
bool ShowsKeys(const TListModel* list, const std::vector<TBytes>& entries)
{
    if (!g_Ports || !g_Ports->keyBytes || list->RowCount() == 0 || list->RowCount() > qsizetype(entries.size()))
        return false;
    const std::vector<int> rows = EntriesShown(list, entries).first;
    for (int r = 0; r < list->RowCount(); ++r) {
        bool shown = false;
        for (int c = 0; c < list->ColumnCount() && !shown && rows[std::size_t(r)] >= 0; ++c)
            shown = Shows(list->Cell(r, c), KeyOf(entries[std::size_t(rows[std::size_t(r)])]));
        if (!shown)
            return false;
    }
    return true;
}

// The row of the other switch's list of table entries holding the entry of
// the same key (the switch's) as row of the first; -1 when none does; -2
// when the lists are not the world's table entries; kUnknown when which
// entries the rows show can't be told.
int EntryMatch(const TListModel* from, const TListModel* to, int row)
{
    if (!g_Ports || !g_Ports->keyBytes || g_Ports->fromEntries.empty() ||
        from->RowCount() > qsizetype(g_Ports->fromEntries.size()) ||
        to->RowCount() > qsizetype(g_Ports->toEntries.size()))
        return -2;
    const auto [a, lateA] = EntriesShown(from, g_Ports->fromEntries);
    const auto [b, lateB] = EntriesShown(to, g_Ports->toEntries);
    if (row < 0 || std::size_t(row) >= a.size() || a[std::size_t(row)] < 0)
        return -2;
    if (a[std::size_t(row)] != lateA[std::size_t(row)])
        return kUnknown;
    const TBytes wanted = KeyOf(g_Ports->fromEntries[std::size_t(a[std::size_t(row)])]);
    auto holds = [&](int e) { return e >= 0 && KeyOf(g_Ports->toEntries[std::size_t(e)]) == wanted; };
    bool maybe = false;
    for (std::size_t r = 0; r < b.size(); ++r) {
        if (holds(b[r]) && holds(lateB[r]))
            return int(r);
        maybe = maybe || holds(b[r]) || holds(lateB[r]);
    }
    return maybe ? kUnknown : -1;
}

QStringList Texts(const QListWidget* lines)
{
    QStringList texts;
    for (int i = 0; i < lines->count(); ++i)
        texts << lines->item(i)->text();
    return texts;
}

QStringList Captions(const TListModel* list)
{
    QStringList texts;
    for (int r = 0; r < list->RowCount(); ++r)
        texts << list->Cell(r, 0);
    return texts;
}

// The key column of a list: the first whose texts tell its rows apart
// (none empty or unprintable), past a column that numbers them.
int KeyColumn(const TListModel* list)
{
    bool numbered = true;
    for (int r = 0; r < list->RowCount(); ++r)
        numbered = numbered && list->Cell(r, 0) == QString::number(r + 1);
    for (int c = numbered && list->ColumnCount() > 1 ? 1 : 0; c < list->ColumnCount(); ++c) {
        QSet<QString> texts;
        for (int r = 0; r < list->RowCount(); ++r) {
            const QString text = list->Cell(r, c);
            if (!text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.isPrint(); }))
                texts.insert(text);
        }
        if (texts.size() == list->RowCount())
            return c;
    }
    return 0;
}

QString Key(const TUntypedReportList* list, int row) { return list->Model()->Cell(row, KeyColumn(list->Model())); }

// The row of to keyed like row of from, the one most alike when several
// are; -1 when none.
int MatchRow(const TUntypedReportList* from, int row, const TUntypedReportList* to)
{
    const TListModel* a = from->Model();
    const TListModel* b = to->Model();
    // A port's row by its index; a table's entry by the switch's key.
    const bool entries = ShowsKeys(a, g_Ports ? g_Ports->fromEntries : std::vector<TBytes>()) &&
                         (b->RowCount() == 0 || ShowsKeys(b, g_Ports->toEntries));
    if (const int port = entries ? -2 : PortMatch(Captions(a), Captions(b), row); port != -2)
        return port;
    // A port list's other rows (trunk groups) are no table entries.
    if (const int entry = PortList(Captions(a)) ? -2 : EntryMatch(a, b, row); entry != -2)
        return entry;
    const int key = KeyColumn(a);
    int best = -1, bestAlike = -1;
    for (int r = 0; r < b->RowCount(); ++r) {
        if (b->Cell(r, key) != a->Cell(row, key))
            continue;
        int alike = 0;
        for (int c = 1; c < a->ColumnCount(); ++c)
            alike += b->Cell(r, c) == a->Cell(row, c);
        if (alike > bestAlike)
            std::tie(best, bestAlike) = std::pair(r, alike);
    }
    return best;
}

// Lines with ticks (ports, services), not a list of entries.
bool Ticked(const QListWidget* lines)
{
    return lines && lines->count() > 0 && lines->item(0)->data(Qt::CheckStateRole).isValid();
}

// The line of to showing what line i of from shows: a port's line by its
// index, other lines by their text; null when none does.
QListWidgetItem* MatchLine(QListWidget* from, QListWidget* to, int i)
{
    const int port = PortMatch(Texts(from), Texts(to), i);
    if (port != -2)
        return port >= 0 ? to->item(port) : nullptr;
    const QList<QListWidgetItem*> found = to->findItems(from->item(i)->text(), Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.front();
}

// Ticked lines (ports, services) by their text; a list of entries (no
// ticks) whole, as Add and Delete would make it. The unticks go first, as
// one makes room before ticking (only: those of one state alone).
void CopyLines(QListWidget* from, QListWidget* to, QStringList& lacks, std::optional<Qt::CheckState> only = {})
{
    if (!Ticked(from)) {
        // No lines of ticks (no ports) set none of to's.
        if (Ticked(to))
            return;
        to->clear();
        for (int i = 0; i < from->count(); ++i)
            to->addItem(from->item(i)->text());
        return;
    }
    for (const Qt::CheckState state : {Qt::Unchecked, Qt::Checked}) {
        if (only && *only != state)
            continue;
        for (int i = 0; i < from->count(); ++i) {
            if (from->item(i)->checkState() != state)
                continue;
            if (QListWidgetItem* line = MatchLine(from, to, i); !line)
                lacks << "no line " + from->item(i)->text();
            else
                line->setCheckState(state);
        }
    }
}

// The ticked lines of from whose lines in to its page took back; and the
// lines of to that from lacks, which keep their ticks (before: their states
// before the copy), whose ticks its page changed.
void TakenBack(QListWidget* from, QListWidget* to, QStringList& lacks, const std::vector<Qt::CheckState>& before)
{
    std::vector<bool> matched(std::size_t(to->count()));
    for (int i = 0; i < from->count(); ++i)
        if (QListWidgetItem* line = MatchLine(from, to, i)) {
            matched[std::size_t(to->row(line))] = true;
            if (line->checkState() != from->item(i)->checkState())
                lacks << "its page takes back line " + from->item(i)->text();
        }
    for (int j = 0; j < to->count() && std::size_t(j) < before.size(); ++j)
        if (!matched[std::size_t(j)] && to->item(j)->checkState() != before[std::size_t(j)])
            lacks << "its page changes line " + to->item(j)->text();
}

std::vector<Qt::CheckState> States(const QListWidget* lines)
{
    std::vector<Qt::CheckState> states;
    for (int j = 0; j < lines->count(); ++j)
        states.push_back(lines->item(j)->checkState());
    return states;
}

// Rows by key. A cell edited in ticked lines is ticked as a user ticks
// them on the row selected (the target's lines the first page lacks keep
// their ticks); the other cells then take their values whole, after the
// ticks and what those set.
void CopyList(TUntypedReportList* from, TUntypedReportList* to, QStringList& lacks, bool entryOnly)
{
    auto* edited = entryOnly ? nullptr : qobject_cast<TUntypedEditedList*>(from);
    auto* editedTo = qobject_cast<TUntypedEditedList*>(to);
    const int selected = from->SelectedRow(), selectedTo = to->SelectedRow();
    bool moved = false;
    std::vector<std::pair<int, int>> rows;
    for (int row = 0; edited && editedTo && row < edited->RowCount(); ++row) {
        const int other = MatchRow(from, row, to);
        // A row of no port its page lacks, shown off in every choice (an
        // event of the other generation), is no part of the change.
        bool off = PortMatch(Captions(from->Model()), Captions(to->Model()), row) == -2;
        for (int c = 1; c < from->Model()->ColumnCount(); ++c)
            off = off && edited->Text(row, c).startsWith("Disable");
        if (other < 0 && !off)
            lacks << "no row " + Key(from, row);
        else if (other >= 0)
            rows.emplace_back(row, other);
    }
    auto lines = [](TUntypedEditedList* list, int c) { return qobject_cast<QListWidget*>(list->EditorOf(c)); };
    // Ticked lines, or none of a port list (no ports), which set none of to's.
    auto ticked = [&](int c) {
        QListWidget *a = lines(edited, c), *b = lines(editedTo, c);
        return b && (Ticked(a) || (a && a->count() == 0 && Ticked(b)));
    };
    std::map<std::pair<int, int>, std::vector<Qt::CheckState>> before;
    for (auto [row, other] : rows)
        for (int c = 1; c < from->Model()->ColumnCount(); ++c)
            if (ticked(c)) {
                editedTo->SelectRow(other);
                moved = true;
                before[{other, c}] = States(lines(editedTo, c));
            }
    // Every row's unticks, then every row's ticks; a tick its page takes
    // back (a limit) is one it can't take.
    for (const Qt::CheckState state : {Qt::Unchecked, Qt::Checked})
        for (auto [row, other] : rows)
            for (int c = 1; c < from->Model()->ColumnCount(); ++c) {
                if (!ticked(c))
                    continue;
                edited->SelectRow(row);
                editedTo->SelectRow(other);
                moved = true;
                CopyLines(lines(edited, c), lines(editedTo, c), lacks, state);
            }
    for (auto [row, other] : rows)
        for (int c = 1; c < from->Model()->ColumnCount(); ++c)
            if (ticked(c)) {
                edited->SelectRow(row);
                editedTo->SelectRow(other);
                TakenBack(lines(edited, c), lines(editedTo, c), lacks, before[{other, c}]);
            }
    // A choice that is off on its row and shows none of its items (an
    // "N/A") holds no value one sets: the target's own stays.
    for (auto [row, other] : rows) {
        edited->SelectRow(row);
        moved = true;
        for (int c = 1; c < from->Model()->ColumnCount(); ++c) {
            // Nor does a value past its choice's items: no value it shows.
            // Nor a number past its field's limits.
            const auto* choice = qobject_cast<const QComboBox*>(edited->EditorOf(c));
            const auto* number = qobject_cast<const TNumberBox*>(edited->EditorOf(c));
            const long long value = edited->Value(row, c);
            if (ticked(c) || (choice && !choice->isEnabled() && choice->currentIndex() < 0) ||
                (choice && (value < 0 || value >= choice->count())) ||
                (number && (value < number->Lowest() || value > number->Highest())))
                continue;
            editedTo->SetValue(other, c, edited->Value(row, c));
            editedTo->SetText(other, c, edited->Text(row, c));
        }
    }
    lacks.removeDuplicates();
    if (moved)
        from->SelectRow(selected);
    if (selected >= 0) {
        // Only a delete needs the selected entry: else the row filled the
        // form, which is copied whole.
        const int other = MatchRow(from, selected, to);
        if (other == kUnknown && entryOnly) {
            lacks.prepend(kUntold + Key(from, selected));
        } else if (other < 0) {
            if (entryOnly)
                lacks << "no entry " + Key(from, selected);
        } else {
            to->SelectRow(other);
            // A column before the key whose text is unprintable (no key: one
            // can't tell such texts apart) and differs: which entry one would
            // pick there is not known.
            for (int c = 1; c < KeyColumn(from->Model()); ++c) {
                const QString text = from->Model()->Cell(selected, c);
                if (!std::all_of(text.begin(), text.end(), [](QChar ch) { return ch.isPrint(); }) &&
                    text != to->Model()->Cell(other, c))
                    lacks.prepend(kAmbiguous + Key(from, selected));
            }
        }
    } else if (moved) {
        to->SelectRow(selectedTo);
    }
    if (editedTo)
        editedTo->UpdateEditors();
}

void CopyValue(QWidget* from, QWidget* to, QStringList& lacks)
{
    if (auto* a = qobject_cast<QComboBox*>(from)) {
        auto* b = static_cast<QComboBox*>(to);
        if (a->currentIndex() < 0)
            return;
        // A port's item by its index, other items by their text.
        QStringList itemsA, itemsB;
        for (int i = 0; i < a->count(); ++i)
            itemsA << a->itemText(i);
        for (int i = 0; i < b->count(); ++i)
            itemsB << b->itemText(i);
        const int port = PortMatch(itemsA, itemsB, a->currentIndex());
        const int index = port != -2 ? port : b->findText(a->currentText());
        // A choice that is off can't be set there, nor here.
        if (index < 0 && a->isEnabled())
            lacks << "no choice " + a->currentText();
        else
            b->setCurrentIndex(index);
    } else if (auto* a = qobject_cast<TNumberBox*>(from)) {
        // A number past the field's limits is no value it shows; one typed
        // there is typed here.
        if (const long long value = a->value(); !a->IsBlank() && value >= a->Lowest() && value <= a->Highest()) {
            static_cast<TNumberBox*>(to)->setValue(value);
            if (a->findChild<QLineEdit*>()->isModified())
                Type(to->findChild<QLineEdit*>(), a->findChild<QLineEdit*>()->text());
        }
    } else if (auto* a = qobject_cast<QSpinBox*>(from)) {
        static_cast<QSpinBox*>(to)->setValue(a->value());
    } else if (auto* a = qobject_cast<QDoubleSpinBox*>(from)) {
        static_cast<QDoubleSpinBox*>(to)->setValue(a->value());
    } else if (auto* a = qobject_cast<QDateTimeEdit*>(from)) {
        static_cast<QDateTimeEdit*>(to)->setDateTime(a->dateTime());
    } else if (auto* a = qobject_cast<QLineEdit*>(from)) {
        // A field takes a text as long as the same field on show holds (one
        // read longer than a user types).
        static_cast<QLineEdit*>(to)->setMaxLength(std::max(a->maxLength(), static_cast<QLineEdit*>(to)->maxLength()));
        // An empty address field shows no value; an empty text is one.
        if (a->isModified())
            Type(static_cast<QLineEdit*>(to), a->text());
        else if (!a->text().isEmpty() || !(a->inherits("TIpEdit") || a->inherits("TMacEdit")))
            static_cast<QLineEdit*>(to)->setText(a->text());
    } else if (auto* a = qobject_cast<QPlainTextEdit*>(from)) {
        // Its characters as it holds them (a no-break space stays one).
        static_cast<QPlainTextEdit*>(to)->setPlainText(
            a->document()->toRawText().replace(QChar::ParagraphSeparator, '\n'));
    } else if (auto* a = qobject_cast<QCheckBox*>(from)) {
        // Clicked as a user would: a page may follow its boxes' clicks alone.
        auto* b = static_cast<QCheckBox*>(to);
        if (b->isChecked() != a->isChecked() && b->isEnabled() && !b->isTristate())
            b->click();
        b->setChecked(a->isChecked());
    } else if (auto* a = qobject_cast<QRadioButton*>(from)) {
        if (a->isChecked())
            static_cast<QRadioButton*>(to)->setChecked(true);
    }
}

}  // namespace

QString Diff(const std::vector<TChange>& expected, const std::vector<TChange>& sent)
{
    if (expected.size() != sent.size() || expected.empty())
        return Text(sent);
    QStringList lines;
    for (std::size_t i = 0; i < sent.size(); ++i) {
        const TBytes &a = expected[i].payload, &b = sent[i].payload;
        if (expected[i].code != sent[i].code || a.size() != b.size())
            return Text(sent);
        QStringList at;
        for (std::size_t k = 0; k < a.size(); ++k)
            if (a[k] != b[k])
                at << QString::asprintf("byte %zu %02x, not %02x", k, b[k], a[k]);
        if (at.size() > 8)
            at = at.mid(0, 8) << "...";
        lines << QString::asprintf("0x%04x ", sent[i].code) + (at.isEmpty() ? "the same" : at.join(", "));
    }
    return lines.join("; ");
}

QString Text(const std::vector<TChange>& changes)
{
    QStringList lines;
    for (const TChange& change : changes) {
        QString bytes;
        for (std::uint8_t b : change.payload)
            bytes += QString::asprintf("%02x ", b);
        lines << QString::asprintf("0x%04x [", change.code) + bytes.trimmed() + "]";
    }
    return lines.isEmpty() ? QString("nothing") : lines.join(", ");
}

bool TOutcome::Named(const Intp::TDevice* device) const
{
    const QString name = TChangeReport::DeviceText(device) + ": not changed";
    return std::any_of(told.begin(), told.end(), [&](const QString& text) { return text.contains(name); });
}

bool TOutcome::AnyChange() const
{
    return std::any_of(sent.begin(), sent.end(), [](const auto& target) { return !target.second.empty(); });
}

bool TOutcome::Deletes() const
{
    bool any = false;
    for (const auto& [device, changes] : sent)
        for (const TChange& change : changes) {
            const Intp::TCommandInfo* info = Intp::FindCommand(change.code);
            if (!info || !std::string_view(info->requestClass).ends_with("Del"))
                return false;
            any = true;
        }
    return any;
}

namespace {

std::uint32_t Mix(std::uint32_t h, std::uint32_t v)
{
    std::uint64_t z = (std::uint64_t(h) << 32 | v) + 0x9e3779b97f4a7c15ull;
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return std::uint32_t(z ^ (z >> 31));
}

// One seed made of several values.
template <class... T>
unsigned Hash(T... values)
{
    std::uint32_t h = 0x2545f491u;
    ((h = Mix(h, std::uint32_t(values))), ...);
    return h;
}

// What a byte of a record or entry is.
enum : std::uint8_t {
    kValue,      // any value the library takes
    kKept,       // unused (zero as the switch sends it), a row's own port
    kFlag,       // 0 or 1
    kTextStart,  // a text's first character
    kText,       // a text's further character
};

// The bytes of a record (or of one table entry) of code, by what they are:
// found by how the fake switch's codec leaves probes of them.
std::vector<std::uint8_t> Kinds(std::uint16_t code, const TBytes& base, bool entry, std::size_t fixed = 0,
                                std::size_t element = 0)
{
    static std::map<std::tuple<std::uint16_t, std::size_t, bool>, std::vector<std::uint8_t>> known;
    const auto key = std::tuple(code, base.size(), entry);
    if (auto it = known.find(key); it != known.end())
        return it->second;
    const std::size_t n = base.size();
    // Of a long array (a model of the most of a count), the kinds of three
    // elements, the middle one's for every element past them.
    if (element && n > fixed + 256 * element) {
        const TBytes three(base.begin(), base.begin() + std::ptrdiff_t(fixed + 3 * element));
        std::vector<std::uint8_t> kinds = Kinds(code, three, entry);
        kinds.resize(n);
        for (std::size_t p = fixed + 3 * element; p < n; ++p)
            kinds[p] = kinds[fixed + element + (p - fixed) % element];
        return known[key] = kinds;
    }
    std::vector<std::uint8_t> kinds(n, kValue);
    const auto handler = Handlers().find(code);
    if (handler != Handlers().end() && handler->second.Decoded && n) {
        auto round = [&](const TBytes& bytes) {
            TBytes r = handler->second.Decoded(bytes);
            r.resize(n);
            return r;
        };
        // A text ends at its first NUL: of "A\0A\0" only "A" comes back.
        const TBytes all = round(TBytes(n, 0x41));
        TBytes even(n, 0), odd(n, 0);
        for (std::size_t p = 0; p < n; ++p)
            (p % 2 ? odd : even)[p] = 0x41;
        const TBytes e = round(even), o = round(odd);
        for (std::size_t p = 0; p < n; ++p)
            kinds[p] = all[p] == 0      ? kKept
                       : all[p] == 1    ? kFlag
                       : all[p] != 0x41 ? kValue
                       : (p % 2 ? o : e)[p] == 0 ? kText
                                                 : kValue;
        // Where a text starts: a NUL before a character ends the text only
        // when both are its own.
        for (std::size_t p = 1; p < n; ++p) {
            if (kinds[p] != kText)
                continue;
            TBytes probe(n, 0x41);
            probe[p - 1] = 0;
            if (round(probe)[p] != 0)
                kinds[p] = kTextStart;
            else if (kinds[p - 1] == kValue)
                kinds[p - 1] = kTextStart;
        }
        if (kinds[0] == kText)
            kinds[0] = kTextStart;
    } else {
        // Texts the model has stay.
        for (std::size_t p = 0; p < n; ++p)
            if (std::isgraph(base[p]) || (p > 0 && std::isgraph(base[p - 1])))
                kinds[p] = kKept;
    }
    return known[key] = kinds;
}

// A model with more of every count than the tests' models: the tables'
// pools hold entries on ports and groups only some switches have.
std::uint32_t LargeModel(std::uint32_t ports)
{
    Intp::TDeviceType type;
    type.Name = "Large test model";
    type.PortNum = ports;
    type.TrunkGroupNum = 3;
    type.TrunkMemberNum = 8;
    type.SmtpRecipientNum = 6;
    type.SnmpCommunityNum = 6;
    type.SecureIpNum = 12;
    type.TagVidNum = 24;
    return std::uint32_t(Intp::RegisterDeviceType(&type));
}

// The command that adds an entry to table code (0: none), found by the
// entry it adds.
std::uint16_t AddCode(const Intp::TDevice* device, std::uint16_t code, const TBytes& entry)
{
    static std::map<std::uint16_t, std::uint16_t> known;
    if (auto it = known.find(code); it != known.end())
        return it->second;
    for (const auto& [add, handler] : Handlers()) {
        if (!handler.NeedsLogin || handler.RequestSize != entry.size() || !IsChangeCode(add))
            continue;
        FakeSwitch::TSwitch sw = Fresh(device);
        sw.Running.Tables[code].clear();
        if (Answer(sw, handler, add, entry).Status == FakeSwitch::StatusOk && sw.Running.Tables[code].size() == 1)
            return known[code] = add;
    }
    return known[code] = 0;
}

// An access rule (28 bytes) made an IPv4 rule of TCP (k even) or UDP with
// a layer-4 port, its fragment check on for odd k: from a host of its own
// subnet to any address, which the page's form can show.
TBytes Ipv4Rule(TBytes rule, std::size_t k)
{
    rule[6] = 0x08;
    rule[7] = 0x00;
    const std::uint8_t sides[16] = {10, 0, std::uint8_t(k % 250), 5, 255, 255, 255, 0};
    std::copy(std::begin(sides), std::end(sides), rule.begin() + 8);
    rule[25] = k % 2 ? 17 : 6;
    rule[26] = std::uint8_t(0x10 + k);
    rule[27] = std::uint8_t(0x50 + k);
    rule[3] = std::uint8_t(k % 2);
    return rule;
}

const char kTextCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_";

}  // namespace

TWorld::TWorld(TPageTestEnvironment& env, int seed, std::uint32_t poolPorts)
    : m_Env(env), m_Seed(seed), m_PoolPorts(poolPorts), m_Scratch(env.AddDevice(250, Ip(10, 0, 0, 250)))
{
    // Made before the test's models: of the first generation.
    m_Large[0] = LargeModel(m_PoolPorts);
}

Intp::TDevice* TWorld::AddSwitch(std::uint32_t model, int seed, TFailure failure, bool shown, TEdges edges)
{
    ++m_Version;
    const auto last = std::uint8_t(m_Plans.size() + 1);
    Intp::TDevice* device = m_Env.AddDevice(last, Ip(10, 0, 0, last));
    device->SetType(model);
    m_Plans[device] = {seed, failure, shown, {}, edges};
    if (shown && !m_Shown)
        m_Shown = device;
    if (edges.nearRecord && m_Shown) {
        std::vector<std::uint16_t> records;
        for (const std::uint16_t code : m_Read[m_Shown])
            if (const auto handler = Handlers().find(code);
                code != Intp::ccPortNameGet && handler != Handlers().end() && !handler->second.EntrySize)
                records.push_back(code);
        if (!records.empty())
            m_Plans[device].nearCode = records[Hash(m_Seed, seed) % records.size()];
    }
    return device;
}

std::vector<int> TWorld::HiddenPorts(const Intp::TDevice* device, const TPlan& plan) const
{
    const int ports = int(Intp::ModelOf(device).PortNum);
    if (plan.edges.hidden != TEdges::drawnPorts && ports > 1)
        // Past 32 ports the middle one is the last a port mask holds.
        return {plan.edges.hidden == TEdges::first    ? 0
                : plan.edges.hidden == TEdges::middle ? (ports > 32 ? 31 : ports / 2)
                                                      : ports - 1};
    std::mt19937 rng(Hash(m_Seed, plan.seed, plan.shown, 0x41dd));
    // The switch on show hides none, one or two; most others none (one
    // that hides a port the page lists can't take a change of it).
    const unsigned draw = rng() % 6;
    const int count = std::min(plan.shown ? int(draw % 3) : draw < 4 ? 0 : int(draw - 3), std::max(ports - 1, 0));
    std::vector<int> hidden;
    while (int(hidden.size()) < count)
        if (const int port = int(rng() % unsigned(ports)); std::find(hidden.begin(), hidden.end(), port) == hidden.end())
            hidden.push_back(port);
    std::sort(hidden.begin(), hidden.end());
    return hidden;
}

TEdges TWorld::Edges(const Intp::TDevice* device) const
{
    const auto plan = m_Plans.find(const_cast<Intp::TDevice*>(device));
    return plan == m_Plans.end() ? TEdges() : plan->second.edges;
}

std::vector<int> TWorld::Hidden(const Intp::TDevice* device) const
{
    // Names its latest read failed to bring hide no port.
    // Those of a good read that a time-out or a "not logged in" after it
    // left the library holding hide them.
    const auto plan = m_Plans.find(const_cast<Intp::TDevice*>(device));
    if (plan == m_Plans.end())
        return {};
    const TFailure& failure = plan->second.failure;
    const bool held = failure.code == Intp::ccPortNameGet && !failure.first &&
                      (failure.status == Intp::ssTimeout || failure.status == Intp::ssNotLoggedIn);
    return Failed(device).count(Intp::ccPortNameGet) && !held ? std::vector<int>() : HiddenPorts(device, plan->second);
}

std::set<std::uint16_t> TWorld::FailedNeeded(const Intp::TDevice* device) const
{
    std::set<std::uint16_t> failed = Failed(device);
    for (const std::uint16_t code : m_Unneeded)
        failed.erase(code);
    const auto plan = m_Plans.find(const_cast<Intp::TDevice*>(device));
    if (plan != m_Plans.end() && !plan->second.failure.first)
        for (const std::uint16_t code : m_UnneededOnceRead)
            failed.erase(code);
    return failed;
}

std::set<std::uint16_t> TWorld::Read(const Intp::TDevice* device) const
{
    const auto it = m_Read.find(device);
    return it == m_Read.end() ? std::set<std::uint16_t>() : it->second;
}

std::set<std::uint16_t> TWorld::Failed(const Intp::TDevice* device) const
{
    const auto it = m_Failed.find(device);
    return it == m_Failed.end() ? std::set<std::uint16_t>() : it->second;
}

std::string TWorld::AnswersKey(const Intp::TDevice* device) const
{
    std::string key = std::to_string(m_Version);
    // A switch's records may be the switch on show's, one value off.
    for (const auto& [each, plan] : m_Plans)
        if (!device || each == device || each == m_Shown)
            key += ';' + std::to_string(plan.seed) + ',' + std::to_string(plan.values.moves) + ',' +
                   std::to_string(plan.values.whole) + ',' + std::to_string(plan.values.step);
    return key;
}

void TWorld::Reseed(Intp::TDevice* device, int seed, TValues values)
{
    m_Plans[device].seed = seed;
    m_Plans[device].values = values;
}

void TWorld::Show(TModulePage* page, TFakePageHost* host)
{
    for (const Intp::TDevice* device : host->selection) {
        m_Read.erase(device);
        m_Failed.erase(device);
    }
    page->SetHost(host);
    m_Env.page = page;
    m_Round = 0;
    page->OnNotify(nullptr, ncSelectionChanged, 0);
    // A second read where a switch shown fails its read after a good one.
    const bool again = std::any_of(host->selection.begin(), host->selection.end(), [&](Intp::TDevice* device) {
        const auto plan = m_Plans.find(device);
        return plan != m_Plans.end() && plan->second.failure.status && !plan->second.failure.first;
    });
    for (int round = 0; round < (again ? 2 : 1); ++round) {
        m_Round = round;
        page->Refresh(true);
        Settle();
    }
    m_Round = -1;
}


TOutcome TWorld::Press(TModulePage* page, QAbstractButton* button)
{
    m_Env.page = page;
    const std::size_t mark = m_Env.protocol.sent.size();
    const qsizetype told = m_Env.messages.size();
    // A dialog a button opens (a file to choose) is closed unanswered.
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    closer.start();
    button->click();
    Settle();
    closer.stop();

    TOutcome outcome;
    for (std::size_t i = mark; i < m_Env.protocol.sent.size(); ++i) {
        const IntpTest::TSent& frame = m_Env.protocol.sent[i];
        Intp::TDevice* device = Intp::FindDevice(frame.mac, false);
        if (device && m_Plans.count(device))
            outcome.leftOut = outcome.leftOut || frame.code == Intp::ccIntpLogin || frame.code == Intp::ccBasicsReboot;
        if (device && m_Plans.count(device) && IsChangeCode(frame.code)) {
            outcome.sent[device].push_back({frame.code, frame.payload});
            if (m_Plans[device].shown)
                NoteAdded(device, frame.code, frame.payload);
        }
    }
    outcome.told = m_Env.messages.mid(told);
    return outcome;
}

void TWorld::NoteAdded(Intp::TDevice* device, std::uint16_t code, const TBytes& payload)
{
    const auto handler = Handlers().find(code);
    if (handler == Handlers().end())
        return;
    FakeSwitch::TSwitch sw = Fresh(device);
    if (Answer(sw, handler->second, code, payload).Status != FakeSwitch::StatusOk)
        return;
    const auto& before = Fresh(device).Running.Tables;
    for (const auto& [table, entries] : sw.Running.Tables) {
        if (entries.size() <= (before.count(table) ? before.at(table).size() : 0))
            continue;
        ++m_Version;
        if (m_Learning) {
            m_First.emplace(table, entries.back());
            continue;
        }
        std::vector<TBytes>& added = m_Added[table];
        if (added.size() < 2 && std::find(added.begin(), added.end(), entries.back()) == added.end())
            added.push_back(entries.back());
    }
}

void TWorld::Learn(TModulePage* page)
{
    FillEmpty(page);
    m_Learning = true;
    for (QAbstractButton* button : Buttons(page))
        if (button->isEnabled() && button->isVisibleTo(page))
            Press(page, button);
    m_Learning = false;
}

void TWorld::Pump()
{
    while (m_Answered < m_Env.protocol.sent.size()) {
        const IntpTest::TSent frame = m_Env.protocol.sent[m_Answered++];
        Intp::TDevice* device = Intp::FindDevice(frame.mac, false);
        const Intp::TCommandInfo* info = Intp::FindCommand(frame.code);
        const auto plan = m_Plans.find(device);
        if (!info || plan == m_Plans.end())
            continue;
        const TBytes empty(std::max<std::size_t>(info->minReply, 4), 0);
        const TFailure& failure = plan->second.failure;
        const bool read = !IsChangeCode(frame.code) && frame.code != Intp::ccIntpLogin &&
                          frame.code != Intp::ccBasicsReboot;
        if (read && m_Round >= 0)
            m_Read[device].insert(frame.code);
        // After its Show a failing switch goes on failing: a change sent to
        // it can't make its record good by the read that follows.
        const bool fails = read && failure.code == frame.code && failure.status && (m_Round != 0 || failure.first);
        // A record's read after a good one still unanswered leaves the good
        // one the latest; a table being read again holds nothing yet.
        if (fails && (failure.status != kNever || failure.first || IsTable(frame.code)))
            m_Failed[device].insert(frame.code);
        const std::uint16_t refusal = plan->second.edges.refusal;
        if (IsChangeCode(frame.code) && refusal == Intp::ssTimeout)
            m_Env.protocol.TimeOut(device, frame.code);
        else if (IsChangeCode(frame.code))
            IntpTest::TFakeHost::Reply(frame.code, device, empty, refusal);
        else if (fails && failure.status == kNever)
            continue;
        else if (fails && failure.status == Intp::ssTimeout)
            m_Env.protocol.TimeOut(device, frame.code);  // a resend is answered the same way
        else if (fails) {
            // A refusal clears the record the library held; "not logged in"
            // and a time-out keep it.
            if (failure.status != Intp::ssNotLoggedIn)
                m_Replies[device].erase(frame.code);
            IntpTest::TFakeHost::Reply(frame.code, device, empty, failure.status);
        } else {
            TBytes reply = ReplyFor(device, plan->second, frame.code, frame.payload);
            if (read)
                m_Replies[device][frame.code] = {frame.payload, reply};
            IntpTest::TFakeHost::Reply(frame.code, device, reply);
        }
    }
}

void TWorld::Settle()
{
    for (int quiet = 0, round = 0; quiet < 2 && round < 500; ++round) {
        const std::size_t sent = m_Env.protocol.sent.size();
        const qsizetype told = m_Env.messages.size();
        Pump();
        QCoreApplication::processEvents();
        quiet = sent == m_Env.protocol.sent.size() && told == m_Env.messages.size() ? quiet + 1 : 0;
    }
}

TBytes TWorld::ReplyFor(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& request)
{
    if (const auto held = m_Fixed.find(device); held != m_Fixed.end())
        if (const auto reply = held->second.find(code); reply != held->second.end())
            return reply->second;
    const auto handler = Handlers().find(code);
    const FakeSwitch::THandlerEntry* entry = handler != Handlers().end() ? &handler->second : nullptr;
    static std::map<std::string, TBytes> made;
    std::string key = CacheKey(device, plan.seed, code, request) + ';' + std::to_string(m_Seed) + ',' +
                      std::to_string(plan.shown) + ',' + std::to_string(plan.values.moves) + ',' +
                      std::to_string(plan.values.whole) + std::to_string(plan.values.step);
    if (m_Holding && m_Added.count(code))
        for (const TBytes& added : m_Added[code])
            key.append(added.begin(), added.end());
    if (const auto first = m_First.find(code); first != m_First.end())
        key.append(first->second.begin(), first->second.end()) += ';';
    if (plan.edges.nearRecord && m_Shown) {
        const TPlan& shown = m_Plans.at(m_Shown);
        key += "near" + std::to_string(shown.seed) + ',' + std::to_string(shown.values.moves) + ',' +
               std::to_string(shown.values.whole) + std::to_string(shown.values.step);
    }
    static std::map<std::string, std::vector<TBytes>> tables;
    if (auto it = made.find(key); it != made.end()) {
        m_Entries[device][code] = tables[key];
        return it->second;
    }

    const Intp::TCommandInfo* info = Intp::FindCommand(code);
    TBytes base(info ? info->minReply : 4, 0);
    if (entry)
        if (FakeSwitch::TReply reply = Answer(Fresh(device), *entry, code, request);
            reply.Status == FakeSwitch::StatusOk)
            base = reply.Payload;
    m_TableEntries.clear();
    made[key] = entry && entry->EntrySize
                    ? Table(device, plan, code, base, entry->PrefixSize, entry->EntrySize,
                            std::min<std::size_t>(entry->PageEntries - 1, 14), entry->TrailerSize)
                    : Record(device, plan, code, base, entry ? entry->FixedSize : 0, entry ? entry->ElementSize : 0);
    m_Entries[device][code] = tables[key] = m_TableEntries;
    return made[key];
}

std::vector<TBytes> TWorld::Entries(const Intp::TDevice* device, std::uint16_t code) const
{
    const auto held = m_Entries.find(device);
    if (held == m_Entries.end() || !held->second.count(code))
        return {};
    // As the library reads them: a text ends at its first NUL.
    std::vector<TBytes> entries = held->second.at(code);
    if (const auto handler = Handlers().find(code); handler != Handlers().end() && handler->second.Decoded)
        for (TBytes& entry : entries)
            entry = handler->second.Decoded(entry);
    return entries;
}

bool TWorld::IsTable(std::uint16_t code)
{
    const auto handler = Handlers().find(code);
    return handler != Handlers().end() && handler->second.EntrySize;
}

std::pair<std::size_t, std::size_t> TWorld::EntryKey(std::uint16_t code)
{
    const auto handler = Handlers().find(code);
    if (handler == Handlers().end() || !handler->second.EntrySize)
        return {0, 0};
    // Where the switch keys an entry by fewer bytes than the fake switch's
    // Add tells apart: a static address by its VLAN and address (not its
    // port), an access rule by its group, context and level.
    if (code == Intp::ccSecurityMac2StaticGet)
        return {1, 8};
    if (code == Intp::ccSnmpAccessGet)
        return {0, 70};
    return {handler->second.KeyOffset, handler->second.KeySize};
}

TBytes TWorld::KeyNamed(std::uint16_t code, const TBytes& payload)
{
    const auto [at, size] = EntryKey(code);
    if (!size)
        return {};
    const FakeSwitch::THandlerEntry& table = Handlers().at(code);
    TBytes bytes = payload;
    std::size_t from = at;
    if (payload.size() == table.EntrySize && table.Decoded)
        bytes = table.Decoded(payload);
    else if (payload.size() == table.KeySize && table.KeyOffset <= at && at + size <= table.KeyOffset + table.KeySize)
        from = at - table.KeyOffset;
    else if (at == 0 && payload.size() > size)
        ;  // a record of its own that starts with the key (a user and its passwords)
    else
        return {};
    return TBytes(bytes.begin() + std::ptrdiff_t(from),
                  bytes.begin() + std::ptrdiff_t(std::min(bytes.size(), from + size)));
}

QString TWorld::RoundTrip(const Intp::TDevice* device, const std::vector<TChange>& sent, bool* hasAnswer) const
{
    std::map<std::uint16_t, TBytes> before, after;
    if (const QString refused = Take(device, sent, before, after, hasAnswer); !refused.isEmpty())
        return refused;
    QStringList differ;
    for (const auto& [code, was] : before) {
        const TBytes& now = after.at(code);
        QStringList at;
        for (std::size_t k = 0; k < std::max(was.size(), now.size()); ++k)
            if (k >= was.size() || k >= now.size() || was[k] != now[k])
                at << (k < was.size() && k < now.size() ? QString::asprintf("byte %zu %02x, read %02x", k, now[k], was[k])
                                                        : QString::asprintf("%zu bytes, read %zu", now.size(), was.size()));
        if (!at.isEmpty())
            differ << QString::asprintf("0x%04x: ", code) + at.join(", ");
    }
    return differ.join("; ");
}

std::map<std::uint16_t, TBytes> TWorld::After(const Intp::TDevice* device, const std::vector<TChange>& sent) const
{
    std::map<std::uint16_t, TBytes> before, after;
    bool answered = true;
    if (!Take(device, sent, before, after, &answered).isEmpty() || !answered)
        return {};
    std::erase_if(after, [](const auto& record) { return IsTable(record.first); });
    return after;
}

QString TWorld::Take(const Intp::TDevice* device, const std::vector<TChange>& sent,
                     std::map<std::uint16_t, TBytes>& before, std::map<std::uint16_t, TBytes>& after,
                     bool* hasAnswer) const
{
    if (hasAnswer)
        *hasAnswer = true;
    const auto replies = m_Replies.find(device);
    if (sent.empty() || replies == m_Replies.end())
        return {};
    FakeSwitch::TSwitch sw = Fresh(device);
    // What the page sent, not what the switch makes of it elsewhere.
    sw.Settings.Apart = true;
    const auto held = m_Entries.find(device);
    for (const auto& [code, read] : replies->second) {
        const auto handler = Handlers().find(code);
        if (handler == Handlers().end())
            continue;
        if (handler->second.EntrySize) {
            if (held != m_Entries.end() && held->second.count(code))
                sw.Running.Tables[code] = held->second.at(code);
        } else {
            sw.Running.Records[code] = read.second;
        }
    }
    // The switch's answers to the reads, and its tables as the library reads them.
    auto answers = [&] {
        std::map<std::uint16_t, TBytes> got;
        for (const auto& [code, read] : replies->second)
            if (const auto handler = Handlers().find(code); handler != Handlers().end()) {
                if (handler->second.EntrySize) {
                    TBytes all;
                    for (const TBytes& entry : sw.Running.Tables[code]) {
                        const TBytes one = handler->second.Decoded ? handler->second.Decoded(entry) : entry;
                        all.insert(all.end(), one.begin(), one.end());
                    }
                    got[code] = all;
                } else if (const FakeSwitch::TReply reply = Answer(sw, handler->second, code, read.first);
                           reply.Status == FakeSwitch::StatusOk) {
                    got[code] = reply.Payload;
                }
            }
        return got;
    };
    before = answers();
    for (const TChange& change : sent) {
        const auto handler = Handlers().find(change.code);
        if (handler == Handlers().end()) {
            if (hasAnswer)
                *hasAnswer = false;
            return {};
        }
        if (Answer(sw, handler->second, change.code, change.payload).Status != FakeSwitch::StatusOk)
            return "a switch holding what it read refuses " + Text({change});
    }
    after = answers();
    return {};
}

bool TWorld::Takes(std::uint32_t model, std::uint16_t code, const TBytes& reply)
{
    // A code read by either generation's request (the trunk table) is taken
    // when the request of the model's generation takes the reply.
    bool known = false;
    m_Scratch->SetType(model);
    const bool second = IsSecondGeneration(m_Scratch);
    const bool shared = Intp::FindCommandIndex(code, 1) >= 0;
    for (int row = 0, index; (index = Intp::FindCommandIndex(code, row)) >= 0; ++row) {
        const char* requestClass = Intp::g_CommandTable[std::size_t(index)].requestClass;
        if (shared && std::string_view(requestClass).ends_with("2") != second)
            continue;
        Intp::TSession* session = Intp::CreateSession(code, requestClass);
        if (!session)
            continue;
        known = true;
        m_Scratch->SetType(model);
        TModule* page = std::exchange(m_Env.page, nullptr);
        const std::size_t from = m_Env.protocol.notified.size();
        bool taken = false;
        if (Intp::StartOrDelete(session, m_Scratch, nullptr)) {
            IntpTest::TFakeHost::Reply(code, m_Scratch, reply);
            for (std::size_t i = from; i < m_Env.protocol.notified.size(); ++i)
                if (m_Env.protocol.notified[i].device == m_Scratch && m_Env.protocol.notified[i].code == code)
                    taken = m_Env.protocol.notified[i].status == Intp::ssOk;
            // A read still waiting (for another page) ends by its timer.
            for (int i = 0; i < 20 && m_Env.protocol.TimeOut(m_Scratch, code); ++i) {
            }
        }
        m_Env.page = page;
        if (taken)
            return true;
    }
    return !known;
}

template <class W>
TBytes TWorld::Move(TBytes bytes, unsigned seed, const std::vector<std::uint8_t>& kinds, const TValues& values,
                    bool full, std::uint32_t model, std::uint16_t code, W wrap, std::size_t fixed, std::size_t element)
{
    std::mt19937 rng(seed);
    const std::size_t n = std::min(bytes.size(), kinds.size());
    if (!values.whole) {
        // A step to the next value, at up to moves values.
        std::vector<std::size_t> at;
        for (std::size_t p = 0; p < n; ++p)
            if (kinds[p] == kValue || kinds[p] == kFlag)
                at.push_back(p);
        std::shuffle(at.begin(), at.end(), rng);
        at.resize(std::min(at.size(), values.moves));
        for (std::size_t p : at) {
            // Every other value on average: switches differ in which ones move.
            for (int attempt = 0; attempt < 2 && (values.moves < 8 || rng() % 2); ++attempt) {
                TBytes moved = bytes;
                moved[p] = std::uint8_t(attempt == 0 ? bytes[p] ^ values.step : bytes[p] + values.step);
                if (Takes(model, code, wrap(moved))) {
                    bytes = std::move(moved);
                    break;
                }
            }
        }
        return bytes;
    }
    // Units: a text whole, or one byte.
    struct TUnit {
        std::size_t at, size;
        std::uint8_t kind;
    };
    std::vector<TUnit> units;
    for (std::size_t p = 0; p < n; ++p) {
        if (kinds[p] == kKept)
            continue;
        TUnit unit{p, 1, kinds[p]};
        if (kinds[p] == kTextStart || kinds[p] == kText) {
            unit.kind = kText;
            while (p + 1 < n && kinds[p + 1] == kText)
                ++p, ++unit.size;
        }
        units.push_back(unit);
    }
    // Up to moves of them; a switch not full leaves some elements of an
    // array as the model has them (empty).
    std::vector<std::size_t> chosen(units.size());
    std::iota(chosen.begin(), chosen.end(), 0);
    std::shuffle(chosen.begin(), chosen.end(), rng);
    chosen.resize(std::min(chosen.size(), values.moves));
    if (!full && element) {
        std::vector<bool> empty((n - std::min(n, fixed)) / element + 1);
        for (std::size_t e = 0; e < empty.size(); ++e)
            empty[e] = rng() % 4 == 0;
        std::erase_if(chosen, [&](std::size_t i) {
            return units[i].at >= fixed && empty[(units[i].at - fixed) / element];
        });
    }
    std::sort(chosen.begin(), chosen.end());
    // How far a unit's value goes: any byte (zero, off or none, a fair
    // share), 0 to 15, 0 to 3, one step; a text: any printable text, digits.
    std::vector<int> tier(units.size(), 0);
    auto tiers = [](const TUnit& u) { return u.kind == kValue ? 4 : u.kind == kText ? 2 : 1; };
    auto draw = [&](TBytes& b, std::size_t i) {
        const TUnit& u = units[i];
        if (u.kind == kFlag) {
            b[u.at] = std::uint8_t(rng() % 2);
        } else if (u.kind == kText) {
            const std::size_t length = full ? 1 + rng() % u.size : rng() % (u.size + 1);
            for (std::size_t k = 0; k < u.size; ++k)
                b[u.at + k] = k >= length     ? 0
                              : tier[i] == 0 ? std::uint8_t(kTextCharacters[rng() % (sizeof kTextCharacters - 1)])
                                             : std::uint8_t('0' + rng() % 10);
        } else {
            const std::uint8_t v = bytes[u.at];
            b[u.at] = tier[i] == 0   ? std::uint8_t(rng() % 4 ? rng() : 0)
                      : tier[i] == 1 ? std::uint8_t(rng() % 16)
                      : tier[i] == 2 ? std::uint8_t(rng() % 4)
                                     : std::uint8_t(rng() % 2 ? v + 1 : v - 1);
        }
    };
    // A set taken at once, else its halves, down to single units that try
    // the narrower ranges.
    std::function<void(const std::vector<std::size_t>&)> solve = [&](const std::vector<std::size_t>& set) {
        if (set.empty())
            return;
        TBytes moved = bytes;
        for (std::size_t i : set)
            draw(moved, i);
        if (moved == bytes || Takes(model, code, wrap(moved))) {
            bytes = std::move(moved);
            return;
        }
        if (set.size() == 1) {
            if (++tier[set[0]] < tiers(units[set[0]]))
                solve(set);
            return;
        }
        const auto half = set.begin() + std::ptrdiff_t(set.size() / 2);
        solve(std::vector<std::size_t>(set.begin(), half));
        solve(std::vector<std::size_t>(half, set.end()));
    };
    // The whole record first; then the fixed part and the first element,
    // whose ranges the other elements take.
    TBytes moved = bytes;
    for (std::size_t i : chosen)
        draw(moved, i);
    if (Takes(model, code, wrap(moved)))
        return moved;
    std::vector<std::size_t> first, rest;
    for (std::size_t i : chosen)
        (element && units[i].at >= fixed + element ? rest : first).push_back(i);
    solve(first);
    std::map<std::size_t, int> learnt;
    for (std::size_t i : first)
        if (element && units[i].at >= fixed)
            learnt[units[i].at - fixed] = tier[i];
    std::erase_if(rest, [&](std::size_t i) {
        const auto it = learnt.find((units[i].at - fixed) % element);
        tier[i] = it == learnt.end() ? 0 : it->second;
        return tier[i] >= tiers(units[i]);
    });
    solve(rest);
    return bytes;
}

bool TWorld::NearShown(const Intp::TDevice* device, const TPlan& plan) const
{
    return plan.edges.nearRecord && m_Shown && m_Shown != device &&
           CacheKey(m_Shown, 0, 0, {}) == CacheKey(device, 0, 0, {});
}

TBytes TWorld::Record(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& base,
                      std::size_t fixed, std::size_t element)
{
    std::vector<std::uint8_t> kinds = Kinds(code, base, false, fixed, element);
    // An element's own index (a port number), and the zero bytes before it,
    // stay: the rows of a per-port record keep their ports.
    const std::size_t elements = element && base.size() > fixed ? (base.size() - fixed) / element : 0;
    auto all = [&](std::size_t o, auto value) {
        for (std::size_t e = 0; e < elements; ++e)
            if (base[fixed + e * element + o] != std::uint8_t(value(e)))
                return false;
        return true;
    };
    for (std::size_t o = 0; elements > 1 && o < element; ++o) {
        if (!all(o, [](std::size_t e) { return e; }) && !all(o, [](std::size_t e) { return e + 1; }))
            continue;
        for (std::size_t back = 0; back < 4 && back <= o; ++back) {
            if (back > 0 && !all(o - back, [](std::size_t) { return 0; }))
                break;
            for (std::size_t e = 0; e < elements; ++e)
                kinds[fixed + e * element + o - back] = kKept;
        }
    }
    auto same = [](const TBytes& b) { return b; };
    if (code == Intp::ccPortNameGet && element) {
        // The model's names; "Port.XX" for a hidden port, now and then a
        // port named otherwise.
        TBytes bytes = base;
        auto name = [&](std::size_t index, const std::string& text) {
            for (std::size_t k = 0; k < element && fixed + (index + 1) * element <= bytes.size(); ++k)
                bytes[fixed + index * element + k] = k < text.size() ? std::uint8_t(text[k]) : 0;
        };
        const std::vector<int> hidden = HiddenPorts(device, plan);
        for (int index : hidden)
            name(std::size_t(index), "Port.XX");
        std::mt19937 rng(Hash(m_Seed, plan.seed, plan.shown, code));
        const std::uint32_t ports = Intp::ModelOf(device).PortNum;
        if (const std::size_t index = ports ? rng() % ports : 0;
            ports && rng() % 4 == 0 && std::find(hidden.begin(), hidden.end(), int(index)) == hidden.end())
            name(index, "Uplink" + std::to_string(1 + rng() % 9));
        return Takes(device->GetType(), code, bytes) ? bytes : base;
    }
    // The switch on show's record with one value a step off.
    if (NearShown(device, plan)) {
        TBytes bytes = Record(m_Shown, m_Plans.at(m_Shown), code, base, fixed, element);
        std::vector<std::size_t> at;
        for (std::size_t p = 0; p < std::min(bytes.size(), kinds.size()); ++p)
            if (kinds[p] == kValue || kinds[p] == kFlag)
                at.push_back(p);
        // A record of one value (a mode) stays the same.
        if (at.size() < 2 || code != plan.nearCode)
            return bytes;
        const std::size_t p = at[Hash(m_Seed, plan.seed, code) % at.size()];
        for (const int step : {2, 1, -1}) {
            TBytes moved = bytes;
            moved[p] = std::uint8_t(step == 2 ? bytes[p] ^ 1 : bytes[p] + step);
            if (Takes(device->GetType(), code, moved))
                return moved;
        }
        return bytes;
    }
    const bool full = plan.edges.full || Hash(m_Seed, plan.seed, 0xf011) % 3 == 0;
    TBytes bytes = Move(base, Hash(m_Seed, plan.seed, plan.shown, code), kinds, plan.values, full, device->GetType(),
                        code, same, fixed, element);
    // Rows with one value at its largest taken: each row another value.
    std::vector<std::size_t> values;
    for (std::size_t o = 0; elements && o < element; ++o)
        if (kinds[fixed + o] == kValue)
            values.push_back(o);
    for (std::size_t e = 0; plan.edges.unshowable && plan.values.whole && !values.empty() && e < elements; ++e)
        if (!plan.shown || (e + std::size_t(m_Seed)) % 3 == 0) {
            const std::size_t o = values[(e / 3 + e + std::size_t(plan.seed)) % values.size()];
            bytes = Largest(bytes, fixed + e * element + o, device->GetType(), code, same, o);
        }
    // Values at the port count and past it, each another (no two ports
    // alike): every other value of the fixed part, in turn over the worlds.
    const std::size_t world = std::size_t(m_Seed);
    std::vector<std::size_t> at;
    for (std::size_t p = 0, k = 0; plan.edges.pastLastPort && plan.values.whole && p < (element ? fixed : kinds.size());
         ++p)
        if (kinds[p] == kValue && k++ % 2 == world % 2)
            at.push_back(p);
    for (std::size_t j = 0; j < at.size(); ++j) {
        TBytes moved = bytes;
        moved[at[j]] = std::uint8_t(Intp::ModelOf(device).PortNum + (j + world / 2) % at.size());
        if (Takes(device->GetType(), code, moved))
            bytes = std::move(moved);
    }
    if (plan.edges.trunkAtLimit && code == Intp::ccPortTrunkGet && element >= 4 && bytes.size() >= fixed + element) {
        // Group 0: a hidden port and the lowest others up to the limit, in
        // no other group (member masks, first byte highest).
        const std::vector<int> hidden = HiddenPorts(device, plan);
        const Intp::TDeviceType& model = Intp::ModelOf(device);
        std::uint32_t mask = hidden.empty() ? 0 : 1u << (hidden.front() % 32);
        for (std::uint32_t p = 0; p < std::min(model.PortNum, 32u) && std::uint32_t(std::popcount(mask)) < model.TrunkMemberNum; ++p)
            mask |= 1u << p;
        TBytes moved = bytes;
        for (std::size_t e = 0; fixed + (e + 1) * element <= moved.size(); ++e) {
            std::uint32_t m = 0;
            for (std::size_t k = 0; k < 4; ++k)
                m = m << 8 | moved[fixed + e * element + k];
            m = e == 0 ? mask : m & ~mask;
            for (std::size_t k = 0; k < 4; ++k)
                moved[fixed + e * element + k] = std::uint8_t(m >> (24 - 8 * k));
        }
        if (Takes(device->GetType(), code, moved))
            bytes = std::move(moved);
    }
    // A target's port configuration that lists two of its first 32 ports
    // out of their order now and then: a port's position is not its index
    // there. Two ports it shows, which one tells apart by name.
    const std::size_t ports = std::min<std::size_t>(Intp::ModelOf(device).PortNum, 32);
    const std::uint64_t draw = Hash(m_Seed, plan.seed, plan.shown, 0x50f7);
    const std::size_t swapped = ports > 2 ? (draw / 4) % (ports - 1) : 0;
    const std::vector<int> hidden = HiddenPorts(device, plan);
    auto shows = [&](std::size_t port) { return std::find(hidden.begin(), hidden.end(), int(port)) == hidden.end(); };
    if (code == Intp::ccPortConfigGet && element && !plan.shown && ports > 2 && elements >= ports && draw % 4 == 0 &&
        shows(swapped) && shows(swapped + 1)) {
        const std::size_t at = fixed + swapped * element;
        TBytes moved = bytes;
        std::swap_ranges(moved.begin() + std::ptrdiff_t(at), moved.begin() + std::ptrdiff_t(at + element),
                         moved.begin() + std::ptrdiff_t(at + element));
        if (Takes(device->GetType(), code, moved))
            bytes = std::move(moved);
    }
    return plan.values.whole || plan.shown ? Extremes(device, plan, code, std::move(bytes), kinds, fixed, element) : bytes;
}

TBytes TWorld::Extremes(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, TBytes bytes,
                        const std::vector<std::uint8_t>& kinds, std::size_t fixed, std::size_t element)
{
    const TEdges::TExtreme extreme = plan.edges.extreme;
    if (extreme == TEdges::drawnValues)
        return bytes;
    auto same = [](const TBytes& b) { return b; };
    const std::size_t world = std::size_t(m_Seed), own = element ? fixed : bytes.size();
    std::vector<std::size_t> low, high;
    for (std::size_t p = 0, j = 0; p < std::min(bytes.size(), kinds.size()); ++p) {
        if (kinds[p] != kValue)
            continue;
        if (extreme != TEdges::shownMix) {
            (extreme == TEdges::lowest ? low : high).push_back(p);
            continue;
        }
        // The values of the fixed part pastLastPort leaves, and those of one
        // row: a third low, a third high; numbers of two bytes or more only
        // (a mode of one byte keeps its item). A low number is 0 in all its
        // bytes (its run of value bytes, up to four).
        const bool wide = (p > 0 && kinds[p - 1] == kValue) || (p + 1 < kinds.size() && kinds[p + 1] == kValue);
        const bool row = p >= own && element && (p - own) / element == (world / 3) % ((bytes.size() - own) / element);
        if ((p >= own && !row) || j++ % 2 == world % 2 || !wide || (p < own && !plan.values.whole))
            continue;
        const std::size_t side = ((j - 1) / 2 + world / 2) % 3;
        if (side == 1)
            high.push_back(p);
        if (side != 0)
            continue;
        std::size_t from = p, to = p + 1;
        while (from > 0 && kinds[from - 1] == kValue && p - from < 3)
            --from;
        while (to < kinds.size() && kinds[to] == kValue && to - p < 3)
            ++to;
        for (std::size_t q = to - from <= 4 ? from : p; q < (to - from <= 4 ? to : p + 1); ++q)
            low.push_back(q);
    }
    // Texts: empty at the lowest; at the highest full to their width, of
    // bytes that go round every value a text's byte holds over the worlds;
    // shown: every third text so, the others as drawn.
    for (std::size_t p = 0, t = 0; p < std::min(bytes.size(), kinds.size()); ++p) {
        if (kinds[p] != kTextStart && kinds[p] != kText)
            continue;
        std::size_t end = p + 1;
        while (end < kinds.size() && kinds[end] == kText)
            ++end;
        if (extreme == TEdges::shownMix && t++ % 3 != world % 3) {
            p = end - 1;
            continue;
        }
        TBytes moved = bytes;
        for (std::size_t k = p; k < end; ++k)
            moved[k] = extreme == TEdges::lowest ? 0 : std::uint8_t(1 + (world * 37 + (k - p) * 11 + t) % 255);
        if (Takes(device->GetType(), code, moved))
            bytes = std::move(moved);
        p = end - 1;
    }
    // A byte of a number made low stays 0.
    std::erase_if(high, [&](std::size_t p) { return std::find(low.begin(), low.end(), p) != low.end(); });
    if (TBytes moved = bytes; !low.empty()) {
        for (const std::size_t p : low)
            moved[p] = 0;
        if (Takes(device->GetType(), code, moved))
            bytes = std::move(moved);
        else
            for (const std::size_t p : low) {
                TBytes one = bytes;
                one[p] = 0;
                if (Takes(device->GetType(), code, one))
                    bytes = std::move(one);
            }
    }
    for (const std::size_t p : high)
        bytes = Largest(bytes, p, device->GetType(), code, same, p < own ? (std::size_t(1) << 20) + p : (p - own) % element);
    return bytes;
}

template <class W>
TBytes TWorld::Largest(TBytes bytes, std::size_t at, std::uint32_t model, std::uint16_t code, W wrap, std::size_t slot)
{
    // Learnt once per record, model and place in a row (slot).
    static std::map<std::tuple<std::uint16_t, std::uint32_t, std::size_t, std::size_t>, int> known;
    const auto key = std::tuple(code, model, bytes.size(), slot);
    TBytes moved = bytes;
    if (const auto it = known.find(key); it != known.end()) {
        moved[at] = std::uint8_t(it->second);
        return it->second > bytes[at] && Takes(model, code, wrap(moved)) ? moved : bytes;
    }
    int value = bytes[at];
    for (int v = 255; v > bytes[at]; --v) {
        moved[at] = std::uint8_t(v);
        if (Takes(model, code, wrap(moved))) {
            value = v;
            break;
        }
    }
    known[key] = value;
    moved[at] = std::uint8_t(value);
    return moved;
}

TBytes TWorld::TablePage(std::uint16_t code, const TBytes& prefix, const std::vector<TBytes>& entries,
                         std::size_t trailer) const
{
    TBytes page = prefix;
    for (const TBytes& entry : entries)
        page.insert(page.end(), entry.begin(), entry.end());
    page.resize(page.size() + trailer);
    const Intp::TCommandInfo* info = Intp::FindCommand(code);
    page.resize(std::max<std::size_t>(page.size(), info ? info->minReply : 0));
    return page;
}

std::uint32_t TWorld::PoolModel(Intp::TDevice* device)
{
    const bool second = IsSecondGeneration(device);
    if (second && !m_Large[1])
        m_Large[1] = LargeModel(m_PoolPorts);
    m_Scratch->SetType(m_Large[second]);
    return m_Large[second] && IsSecondGeneration(m_Scratch) == second ? m_Large[second] : device->GetType();
}

const std::vector<TBytes>& TWorld::Near(Intp::TDevice* device, std::uint16_t code, const TBytes& prefix,
                                        std::size_t entrySize, std::size_t trailer)
{
    static std::map<std::tuple<std::uint16_t, bool, int, TBytes>, std::vector<TBytes>> nears;
    const auto learnt = m_First.find(code);
    const auto key = std::tuple(code, IsSecondGeneration(device), m_Seed,
                                learnt != m_First.end() ? learnt->second : TBytes());
    if (auto it = nears.find(key); it != nears.end())
        return it->second;
    const std::vector<TBytes>& pool = Pool(device, code, prefix, entrySize, trailer);
    std::vector<TBytes>& near = nears[key];
    if (pool.empty())
        return near;
    const std::uint32_t model = PoolModel(device);
    auto one = [&](const TBytes& entry) { return TablePage(code, prefix, {entry}, trailer); };
    const std::vector<std::uint8_t> kinds = Kinds(code, TBytes(entrySize, 0), true);
    const TBytes& first = pool.front();
    auto add = [&](const TBytes& entry) {
        if (entry != first && std::find(near.begin(), near.end(), entry) == near.end() &&
            Takes(model, code, one(entry)))
            near.push_back(entry);
    };
    std::mt19937 rng(Hash(m_Seed, code, 0x4ea5));
    // A value the library takes only with another that goes with it (a
    // layer-4 port with its protocol): moved with a value near it.
    auto together = [&](TBytes entry, std::size_t p) {
        for (std::size_t q = p > 8 ? p - 8 : 0; q < std::min(first.size(), p + 9); ++q)
            if (q != p && (kinds[q] == kValue || kinds[q] == kFlag))
                for (const std::uint8_t v : {1, 6, 17, 0, 0xff}) {
                    TBytes both = entry;
                    both[q] = v;
                    if (both[q] != first[q] && Takes(model, code, one(both)))
                        return add(both);
                }
    };
    // An access rule's IPv4 twin, and its protocol, port and fragment check
    // moved one at a time.
    if (code == Intp::ccSecurityAclGet && first.size() == 28) {
        const TBytes rule = Ipv4Rule(first, 0);
        add(rule);
        for (const std::size_t p : {std::size_t(25), std::size_t(27), std::size_t(3)}) {
            TBytes moved = rule;
            moved[p] = p == 25 ? std::uint8_t(rule[p] == 6 ? 17 : 6) : p == 3 ? std::uint8_t(rule[p] ^ 1) : std::uint8_t(rule[p] + 1);
            add(moved);
        }
    }
    for (std::size_t p = 0; p < kinds.size() && p < first.size(); ++p) {
        TBytes entry = first;
        const std::size_t had = near.size();
        if (kinds[p] == kFlag) {
            entry[p] ^= 1;
            add(entry);
            if (near.size() == had)
                together(entry, p);
        } else if (kinds[p] == kValue) {
            for (const int step : {1, -1})
                if (entry[p] = std::uint8_t(first[p] + step); Takes(model, code, one(entry)))
                    break;
            add(entry);
            add(Largest(first, p, model, code, one, p));
            if (near.size() == had)
                together(entry, p);
        } else if (kinds[p] == kTextStart || (kinds[p] == kText && (p == 0 || kinds[p - 1] == kKept))) {
            // Another text of the same length at most.
            std::size_t end = p + 1;
            while (end < kinds.size() && kinds[end] == kText)
                ++end;
            for (int attempt = 0; attempt < 4 && entry == first; ++attempt) {
                const std::size_t length = 1 + rng() % (end - p);
                for (std::size_t k = p; k < end; ++k)
                    entry[k] = k - p < length ? std::uint8_t(kTextCharacters[rng() % (sizeof kTextCharacters - 1)]) : 0;
                if (!Takes(model, code, one(entry)))
                    entry = first;
            }
            add(entry);
        }
    }
    return near;
}

const std::vector<TBytes>& TWorld::Pool(Intp::TDevice* device, std::uint16_t code, const TBytes& prefix,
                                        std::size_t entrySize, std::size_t trailer)
{
    // A pool per table, generation and world.
    const bool second = IsSecondGeneration(device);
    static std::map<std::tuple<std::uint16_t, bool, int, TBytes>, std::vector<TBytes>> pools;
    const auto learnt = m_First.find(code);
    const TBytes firstEntry = learnt != m_First.end() ? learnt->second : TBytes();
    const auto key = std::tuple(code, second, m_Seed, firstEntry);
    if (auto it = pools.find(key); it != pools.end())
        return it->second;
    const std::uint32_t model = PoolModel(device);
    auto one = [&](const TBytes& entry) { return TablePage(code, prefix, {entry}, trailer); };
    const std::vector<std::uint8_t> kinds = Kinds(code, TBytes(entrySize, 0), true);
    // The first half of the bytes that move, and the rest.
    std::vector<std::size_t> moving;
    for (std::size_t p = 0; p < kinds.size(); ++p)
        if (kinds[p] != kKept)
            moving.push_back(p);
    std::vector<std::uint8_t> later = kinds, earlier = kinds, last = kinds;
    for (std::size_t k = 0; k < moving.size(); ++k) {
        (k < moving.size() / 2 ? later : earlier)[moving[k]] = kKept;
        if (k + 2 < moving.size())
            last[moving[k]] = kKept;
    }
    std::vector<TBytes> pool;
    // The entry the page's own Add sent first: one it shows.
    if (firstEntry.size() == entrySize && Takes(model, code, one(firstEntry)))
        pool.push_back(firstEntry);
    auto add = [&](const TBytes& entry) {
        if (pool.size() < 10 && std::find(pool.begin(), pool.end(), entry) == pool.end() &&
            Takes(model, code, one(entry)))
            pool.push_back(entry);
    };
    for (unsigned k = 0, bases = 0; k < 12 && bases < 4 && pool.size() < 10; ++k) {
        const TBytes entry =
            Move(TBytes(entrySize, 0), Hash(m_Seed, code, second, k), kinds, {}, true, model, code, one);
        if (!Takes(model, code, one(entry)))
            continue;
        ++bases;
        add(entry);
        // The same first values with others after them, and other first
        // values with the same after them.
        add(Move(entry, Hash(m_Seed, code, second, k, 1), later, {}, true, model, code, one));
        add(Move(entry, Hash(m_Seed, code, second, k, 2), earlier, {}, true, model, code, one));
        // All but the last values the same (a group in another VLAN).
        add(Move(entry, Hash(m_Seed, code, second, k, 3), last, {}, true, model, code, one));
    }
    // Access rules: half of them IPv4 rules of TCP or UDP, whose layer-4
    // port and fragment check count only there.
    if (code == Intp::ccSecurityAclGet && entrySize == 28)
        for (std::size_t k = 1; k < pool.size(); k += 2)
            if (TBytes rule = Ipv4Rule(pool[k], k); Takes(model, code, one(rule)))
                pool[k] = rule;
    return pools[key] = pool;
}

TBytes TWorld::Table(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& base,
                     std::size_t prefixSize, std::size_t entrySize, std::size_t maxEntries, std::size_t trailer)
{
    // A switch near the switch on show holds its tables.
    if (NearShown(device, plan))
        return Table(m_Shown, m_Plans.at(m_Shown), code, base, prefixSize, entrySize, maxEntries, trailer);
    const TBytes prefix(base.begin(), base.begin() + std::ptrdiff_t(std::min(prefixSize, base.size())));
    const std::uint32_t model = device->GetType();
    // A switch on show with values a step from the model's holds its
    // model's table, each entry a step away.
    if (plan.shown && !plan.values.whole) {
        auto one = [&](const TBytes& entry) { return TablePage(code, prefix, {entry}, trailer); };
        const std::vector<std::uint8_t> kinds = Kinds(code, TBytes(entrySize, 0), true);
        std::vector<TBytes> entries;
        for (std::size_t at = prefix.size(); entrySize && at + entrySize + trailer <= base.size(); at += entrySize)
            if (TBytes entry(base.begin() + std::ptrdiff_t(at), base.begin() + std::ptrdiff_t(at + entrySize));
                std::any_of(entry.begin(), entry.end(), [](std::uint8_t b) { return b != 0; }))
                entries.push_back(Move(entry, Hash(m_Seed, plan.seed, code, at), kinds, plan.values, false, model, code, one));
        // A table the model holds empty takes the pool's entries.
        if (!entries.empty() && Takes(model, code, TablePage(code, prefix, entries, trailer))) {
            m_TableEntries = entries;
            return TablePage(code, prefix, entries, trailer);
        }
    }
    auto one = [&](const TBytes& entry) { return TablePage(code, prefix, {entry}, trailer); };
    const std::vector<TBytes>& pool = Pool(device, code, prefix, entrySize, trailer);
    // Entries the page added: every switch holds them, first.
    std::vector<TBytes> added;
    if (m_Holding && m_Added.count(code))
        for (const TBytes& entry : m_Added[code])
            if (Takes(model, code, one(entry)))
                added.push_back(entry);
    // Of the pool's entries some only the switch on show holds, some only
    // the others; they keep an entry, hold it with other later values, or
    // lack it, and hold one of their own.
    std::mt19937 rng(Hash(m_Seed, plan.seed, plan.shown, code));
    const std::vector<std::uint8_t> kinds = Kinds(code, TBytes(entrySize, 0), true);
    // Other later values: the second half of those that move, or the last
    // two (a group in another VLAN).
    std::vector<std::uint8_t> later = kinds, last = kinds;
    for (std::size_t p = 0, k = 0, n = std::size_t(std::count_if(kinds.begin(), kinds.end(),
                                                                  [](std::uint8_t kind) { return kind != kKept; }));
         p < kinds.size(); ++p) {
        if (kinds[p] != kKept && k < n / 2)
            later[p] = kKept;
        if (kinds[p] != kKept && k + 2 < n)
            last[p] = kKept;
        k += kinds[p] != kKept;
    }
    std::vector<TBytes> entries;
    // Near entries and the first entry, as the switch's edge says.
    const TEdges::TEntries edge = plan.edges.entries;
    std::vector<TBytes> near;
    if (edge != TEdges::drawn && !pool.empty())
        for (const TBytes& entry : Near(device, code, prefix, entrySize, trailer))
            if (Takes(model, code, one(entry)))
                near.push_back(entry);
    if (near.size() + 1 > maxEntries)
        near.resize(maxEntries - 1);
    const bool first = !pool.empty() && Takes(model, code, one(pool.front()));
    if (edge == TEdges::nearBefore || edge == TEdges::nearOnly)
        entries = near;
    if (first && edge != TEdges::nearOnly && edge != TEdges::drawn)
        entries.push_back(pool.front());
    if (edge == TEdges::nearAfter)
        entries.insert(entries.end(), near.begin(), near.end());
    if (edge != TEdges::drawn && !plan.shown) {
        entries.insert(entries.begin(), added.begin(), added.end());
        return Held(device, code, prefix, entries, maxEntries, trailer);
    }
    const std::size_t edges = entries.size();
    for (std::size_t k = edges ? 1 : 0; k < pool.size(); ++k) {
        const unsigned role = Hash(m_Seed, code, k, 3) % 6;  // 0: the others only, 1: the switch on show only
        if (!Takes(model, code, one(pool[k])) || role == (plan.shown ? 0u : 1u))
            continue;
        const unsigned pick = plan.shown ? 7 : rng() % 8;
        if (pick >= 4)
            entries.push_back(pool[k]);
        else if (pick >= 2)
            entries.push_back(Move(pool[k], rng(), pick == 2 ? later : last, {}, true, model, code, one));
    }
    if (!plan.shown && !pool.empty())
        entries.push_back(Move(pool[rng() % pool.size()], rng(), kinds, {}, true, model, code, one));
    // Most hold the first near entry too (the row shown first in odd worlds).
    if (const std::vector<TBytes>& nearby = Near(device, code, prefix, entrySize, trailer);
        !plan.shown && !nearby.empty() && rng() % 3 && Takes(model, code, one(nearby.front())))
        entries.push_back(nearby.front());
    std::shuffle(entries.begin() + std::ptrdiff_t(edges), entries.end(), rng);
    entries.insert(entries.begin(), added.begin(), added.end());
    return Held(device, code, prefix, entries, maxEntries, trailer);
}

TBytes TWorld::Held(Intp::TDevice* device, std::uint16_t code, const TBytes& prefix, std::vector<TBytes> entries,
                    std::size_t maxEntries, std::size_t trailer)
{
    const std::uint32_t model = device->GetType();
    // Entries with one value at its largest taken: each entry another value.
    const TPlan& plan = m_Plans[device];
    auto one = [&](const TBytes& entry) { return TablePage(code, prefix, {entry}, trailer); };
    const std::vector<std::uint8_t> kinds =
        Kinds(code, TBytes(entries.empty() ? 0 : entries.front().size(), 0), true);
    std::vector<std::size_t> values;
    for (std::size_t p = 0; p < kinds.size(); ++p)
        if (kinds[p] == kValue)
            values.push_back(p);
    for (std::size_t e = 0; plan.edges.unshowable && plan.values.whole && !values.empty() && e < entries.size(); ++e)
        if (!plan.shown || (e + std::size_t(m_Seed)) % 3 == 0) {
            const std::size_t p = values[(e / 3 + e + std::size_t(plan.seed)) % values.size()];
            entries[e] = Largest(entries[e], p, model, code, one, p);
        }
    // One entry of a key, as the switch's own Add keeps them.
    if (const std::uint16_t add = entries.empty() ? 0 : AddCode(device, code, entries.front())) {
        FakeSwitch::TSwitch sw = Fresh(device);
        sw.Running.Tables[code].clear();
        std::erase_if(entries, [&](const TBytes& entry) {
            return Answer(sw, Handlers().at(add), add, entry).Status != FakeSwitch::StatusOk;
        });
    }
    // One entry of a key as the library reads it: texts alike up to their
    // first NUL are one key, whatever bytes follow it.
    if (const auto [at, size] = EntryKey(code); size) {
        const auto& decoded = Handlers().at(code).Decoded;
        std::set<TBytes> keys;
        std::erase_if(entries, [&, at = at, size = size](const TBytes& raw) {
            const TBytes entry = decoded ? decoded(raw) : raw;
            const std::size_t from = std::min(at, entry.size()), to = std::min(entry.size(), at + size);
            return !keys.insert(TBytes(entry.begin() + std::ptrdiff_t(from), entry.begin() + std::ptrdiff_t(to)))
                        .second;
        });
    }
    if (entries.size() > maxEntries)
        entries.resize(maxEntries);
    if (Takes(model, code, TablePage(code, prefix, entries, trailer))) {
        m_TableEntries = entries;
        return TablePage(code, prefix, entries, trailer);
    }
    // The entries the library takes together.
    std::vector<TBytes> taken;
    for (const TBytes& entry : entries) {
        taken.push_back(entry);
        if (!Takes(model, code, TablePage(code, prefix, taken, trailer)))
            taken.pop_back();
    }
    m_TableEntries = taken;
    return TablePage(code, prefix, taken, trailer);
}


QString CopyShown(QWidget* from, QWidget* to, TCopy what, const TPortLists* ports)
{
    g_Ports = ports;
    const auto clear = qScopeGuard([] { g_Ports = nullptr; });
    const std::vector<QWidget*> a = ValueControls(from), b = ValueControls(to);
    // No entry selected: the form names it.
    if (what == TCopy::entry && std::none_of(a.begin(), a.end(), [](QWidget* control) {
            auto* list = qobject_cast<TUntypedReportList*>(control);
            return list && list->SelectedRow() >= 0;
        }))
        what = TCopy::shown;
    if (a.size() != b.size())
        return "its page has other controls";
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i]->metaObject() != b[i]->metaObject())
            return "its page has other controls";
    QStringList lacks;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto* list = qobject_cast<TUntypedReportList*>(a[i]);
        if (list && what != TCopy::form)
            CopyList(list, static_cast<TUntypedReportList*>(b[i]), lacks, what == TCopy::entry);
        else if (auto* lines = qobject_cast<QListWidget*>(a[i]); lines && what != TCopy::entry)
            CopyLines(lines, static_cast<QListWidget*>(b[i]), lacks);
    }
    if (what == TCopy::entry)
        return lacks.join("; ");
    for (std::size_t i = 0; i < a.size(); ++i)
        CopyValue(a[i], b[i], lacks);
    // The texts once more, as one who typed them after choosing: a check run
    // on typing sees the choices.
    for (QWidget* control : b)
        if (auto* edit = qobject_cast<QLineEdit*>(control))
            emit edit->textChanged(edit->text());
    // The choices once more, as one who chose them last: what they turn on
    // and off follows them, not the fields typed after.
    for (QWidget* control : b) {
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            emit combo->currentIndexChanged(combo->currentIndex());
            emit combo->currentTextChanged(combo->currentText());
        } else if (auto* button = qobject_cast<QAbstractButton*>(control); button && button->isChecked()) {
            emit button->toggled(true);
        }
    }
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i]->isEnabled() && !b[i]->isEnabled())
            lacks << QString("%1 #%2 off").arg(a[i]->metaObject()->className()).arg(i);
    return lacks.join("; ");
}

bool RowPerSwitch(QWidget* page, const TDeviceList& devices)
{
    QStringList texts;
    std::function<void(const QAbstractItemModel*, const QModelIndex&)> walk = [&](const QAbstractItemModel* model,
                                                                                  const QModelIndex& parent) {
        for (int r = 0; r < model->rowCount(parent); ++r)
            for (int c = 0; c < model->columnCount(parent); ++c) {
                const QModelIndex index = model->index(r, c, parent);
                texts << index.data().toString();
                if (c == 0)
                    walk(model, index);
            }
    };
    for (const QAbstractItemView* view : page->findChildren<QAbstractItemView*>())
        if (view->model())
            walk(view->model(), {});
    const QString all = texts.join('\n');
    return !devices.empty() && std::all_of(devices.begin(), devices.end(), [&](const Intp::TDevice* device) {
        return all.contains(QString::fromStdString(device->GetMac().ToString()));
    });
}

void FillEmpty(QWidget* page)
{
    std::map<QWidget*, std::vector<QRadioButton*>> groups;
    for (QWidget* control : ValueControls(page)) {
        auto* edit = qobject_cast<QLineEdit*>(control);
        if (edit && edit->isEnabled() && !edit->isReadOnly()) {
            // An address field of 0.0.0.0 holds no address.
            const bool ip = edit->inherits("TIpEdit");
            if (!edit->text().isEmpty() && !(ip && edit->text() == "0.0.0.0"))
                continue;
            edit->setText(ip ? "10.1.2.3" : edit->inherits("TMacEdit") ? "001122334455" : "oracle");
            if (!edit->hasAcceptableInput())
                edit->clear();
        } else if (auto* radio = qobject_cast<QRadioButton*>(control); radio && radio->isEnabled()) {
            groups[radio->parentWidget()].push_back(radio);
        } else if (auto* lines = qobject_cast<QListWidget*>(control); lines && lines->isEnabled() && lines->count()) {
            bool ticked = false;
            for (int i = 0; i < lines->count(); ++i)
                ticked = ticked || lines->item(i)->checkState() == Qt::Checked;
            if (!ticked && lines->item(0)->data(Qt::CheckStateRole).isValid())
                lines->item(0)->setCheckState(Qt::Checked);
        }
    }
    for (const auto& [parent, radios] : groups)
        if (std::none_of(radios.begin(), radios.end(), [](QRadioButton* radio) { return radio->isChecked(); }))
            radios.front()->setChecked(true);
}

bool ChoosePort(QWidget* page, bool last, const TPortLists& ports)
{
    g_Ports = &ports;
    const auto clear = qScopeGuard([] { g_Ports = nullptr; });
    auto pick = [&](const QStringList& texts) {
        const std::vector<int> rows = PortRows(texts, ListedPorts(texts, ports.from, ports.fromNames), ports.fromNames);
        int row = -1;
        for (std::size_t r = 0; r < rows.size(); ++r)
            if (rows[r] >= 0 && (row < 0 || last))
                row = int(r);
        return row;
    };
    bool chosen = false;
    for (QWidget* control : ValueControls(page)) {
        if (!control->isEnabled())
            continue;
        if (auto* combo = qobject_cast<QComboBox*>(control)) {
            QStringList items;
            for (int i = 0; i < combo->count(); ++i)
                items << combo->itemText(i);
            if (const int row = pick(items); row >= 0) {
                combo->setCurrentIndex(row);
                chosen = true;
            }
        } else if (auto* lines = qobject_cast<QListWidget*>(control); lines && Ticked(lines)) {
            if (const int row = pick(Texts(lines)); row >= 0) {
                lines->item(row)->setCheckState(Qt::Checked);
                chosen = true;
            }
        }
    }
    return chosen;
}

void Type(QLineEdit* edit, const QString& text)
{
    edit->selectAll();
    edit->insert(text);
}

bool Retype(QWidget* page)
{
    bool any = false;
    for (QLineEdit* edit : page->findChildren<QLineEdit*>()) {
        // A number past its field's limits is no value it shows: not typed.
        const auto* number = qobject_cast<TNumberBox*>(edit->parentWidget());
        if (number && (number->IsBlank() || number->value() < number->Lowest() || number->value() > number->Highest()))
            continue;
        if (edit->isEnabled() && !edit->isReadOnly() && edit->isVisibleTo(page) && !edit->text().isEmpty()) {
            Type(edit, edit->text());
            any = true;
        }
    }
    return any;
}

QString ControlName(const QAbstractButton* button)
{
    QString text = button->text().remove('&');
    if (text.isEmpty())
        text = button->toolTip();
    return text.isEmpty() ? QString("(%1 without text)").arg(button->metaObject()->className()) : text;
}

void Largest(QWidget* page)
{
    for (QWidget* control : ValueControls(page))
        if (!control->isEnabled())
            continue;
        else if (auto* number = qobject_cast<TNumberBox*>(control))
            number->setValue(number->Highest());
        else if (auto* spin = qobject_cast<QSpinBox*>(control))
            spin->setValue(spin->maximum());
}

std::vector<QAbstractButton*> Buttons(QWidget* page)
{
    std::vector<QAbstractButton*> buttons;
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>())
        if ((qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button)) && !button->isCheckable() &&
            !InsideControl(button, page))
            buttons.push_back(button);
    return buttons;
}

int SelectRows(QWidget* page, int row)
{
    int rows = 0;
    // A list of entries without ticks (addresses) too.
    for (QListWidget* lines : page->findChildren<QListWidget*>())
        if (!Ticked(lines) && !InsideControl(lines, page) && row < lines->count()) {
            lines->setCurrentRow(row);
            rows = std::max(rows, lines->count());
        }
    for (TUntypedReportList* list : page->findChildren<TUntypedReportList*>()) {
        if (row < list->RowCount())
            list->SelectRow(row);
        rows = std::max(rows, list->RowCount());
    }
    return rows;
}

std::optional<QString> FieldText(QWidget* field)
{
    if (auto* number = qobject_cast<TNumberBox*>(field))
        return number->IsBlank() ? std::nullopt : std::optional(number->text());
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        return edit->text();
    if (auto* choice = qobject_cast<QComboBox*>(field))
        return choice->currentText();
    for (QRadioButton* radio : field->findChildren<QRadioButton*>())
        if (radio->isChecked())
            return radio->text();
    if (auto* number = field->findChild<TNumberBox*>())
        return FieldText(number);
    return std::nullopt;
}

std::vector<QWidget*> Fields(QWidget* page)
{
    std::vector<QWidget*> fields;
    for (QLabel* label : page->findChildren<QLabel*>())
        if (QWidget* field = label->buddy(); field && !InsideControl(field, page) &&
                                             std::find(fields.begin(), fields.end(), field) == fields.end())
            fields.push_back(field);
    return fields;
}

QString PageState(QWidget* page, const QWidget* except)
{
    QString state;
    QTextStream out(&state);
    for (QWidget* w : page->findChildren<QWidget*>()) {
        out << w->metaObject()->className() << (w->isEnabled() ? '+' : '-') << (w->isHidden() ? 'h' : 'v') << ' ';
        if (w == except) {
        } else if (auto* edit = qobject_cast<QLineEdit*>(w)) {
            out << edit->text() << (edit->isModified() ? "*" : "") << (edit->isReadOnly() ? "r" : "");
        } else if (auto* choice = qobject_cast<QComboBox*>(w)) {
            out << choice->currentIndex() << ':' << choice->currentText();
            for (int i = 0; i < choice->count(); ++i)
                out << '|' << choice->itemText(i);
        } else if (auto* button = qobject_cast<QAbstractButton*>(w)) {
            out << button->text() << (button->isChecked() ? "x" : "");
        } else if (auto* box = qobject_cast<QAbstractSpinBox*>(w)) {
            out << box->text();
        } else if (auto* label = qobject_cast<QLabel*>(w)) {
            out << label->text();
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
            out << memo->toPlainText();
        } else if (auto* view = qobject_cast<QAbstractItemView*>(w); view && view->model()) {
            const QAbstractItemModel* model = view->model();
            for (int r = 0; r < model->rowCount(); ++r) {
                out << '\n';
                for (int c = 0; c < model->columnCount(); ++c) {
                    const QModelIndex index = model->index(r, c);
                    out << '|' << index.data().toString() << index.data(Qt::CheckStateRole).toInt()
                        << index.data(Qt::ForegroundRole).value<QBrush>().color().name()
                        << index.data(Qt::FontRole).value<QFont>().bold();
                }
            }
            out << " at " << view->currentIndex().row() << ':' << view->currentIndex().column();
            if (view->selectionModel())
                for (const QModelIndex& index : view->selectionModel()->selectedRows())
                    out << ',' << index.row();
            if (auto* tree = qobject_cast<QTreeView*>(view))
                out << " by " << tree->header()->sortIndicatorSection() << int(tree->header()->sortIndicatorOrder());
        }
        out << '\n';
    }
    return state;
}

QString FormUnlikeRows(QWidget* page)
{
    QStringList unlike;
    const auto name = [](QString text) { return text.remove('&').remove(QRegularExpression(":$")).simplified(); };
    // A MAC address is typed without its separators; a text shows in a
    // field whatever its case.
    const auto same = [](QString a, QString b) {
        static const QRegularExpression separators("[:-]");
        return a.remove(separators).toLower() == b.remove(separators).toLower();
    };
    // Captions and headings that name one field and one column of the page.
    QMap<QString, QList<QWidget*>> fields;
    for (QLabel* label : page->findChildren<QLabel*>())
        if (QWidget* field = label->buddy(); field && !InsideControl(field, page))
            fields[name(label->text())] << field;
    QMap<QString, int> headings;
    const QList<TUntypedReportList*> lists = page->findChildren<TUntypedReportList*>();
    for (const TUntypedReportList* list : lists)
        for (int c = 0; c < list->Model()->ColumnCount(); ++c)
            ++headings[name(list->Model()->headerData(c, Qt::Horizontal).toString())];
    for (TUntypedReportList* list : lists) {
        const TListModel* model = list->Model();
        std::vector<std::pair<QWidget*, int>> pairs;
        for (int c = 0; c < model->ColumnCount(); ++c)
            if (const QString heading = name(model->headerData(c, Qt::Horizontal).toString());
                headings[heading] == 1 && fields.value(heading).size() == 1 && fields[heading][0] != list)
                pairs.emplace_back(fields[heading][0], c);
        for (int r = 0; !pairs.empty() && r < model->RowCount(); ++r) {
            list->SelectRow(r);
            for (const auto& [field, c] : pairs) {
                // A value no item or number shows, or a cell that shows none.
                const std::optional<QString> text = FieldText(field);
                const QString cell = model->Cell(r, c);
                bool number = true;
                cell.toLongLong(&number);
                if (!text || text->isEmpty() || cell.isEmpty() || (qobject_cast<TNumberBox*>(field) && !number))
                    continue;
                if (!same(*text, cell))
                    unlike << QString("row %1 shows \"%2\", \"%3\" \"%4\"")
                                  .arg(r + 1)
                                  .arg(cell, name(model->headerData(c, Qt::Horizontal).toString()), *text);
            }
        }
    }
    return unlike.join("; ");
}

}  // namespace Oracle
