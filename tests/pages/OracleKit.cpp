#include "OracleKit.h"

#include "intp/CommandTable.h"
#include "intp/Device.h"
#include "pages/kit/NumberBox.h"
#include "pages/kit/PageTree.h"
#include "pages/kit/UntypedEditedList.h"
#include "tests/fakeswitch/FakeSwitch.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cctype>
#include <functional>
#include <numeric>
#include <random>

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

// Ticked lines (ports, services) by their text; a list of entries (no
// ticks) whole, as Add and Delete would make it.
void CopyLines(QListWidget* from, QListWidget* to, QStringList& lacks)
{
    if (!Ticked(from)) {
        to->clear();
        for (int i = 0; i < from->count(); ++i)
            to->addItem(from->item(i)->text());
        return;
    }
    for (int i = 0; i < from->count(); ++i) {
        const QListWidgetItem* item = from->item(i);
        const QList<QListWidgetItem*> found = to->findItems(item->text(), Qt::MatchExactly);
        if (found.isEmpty())
            lacks << "no line " + item->text();
        else
            found.front()->setCheckState(item->checkState());
    }
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
        if (other < 0)
            lacks << "no row " + Key(from, row);
        else
            rows.emplace_back(row, other);
    }
    auto lines = [](TUntypedEditedList* list, int c) { return qobject_cast<QListWidget*>(list->EditorOf(c)); };
    auto ticked = [&](int c) { return Ticked(lines(edited, c)) && lines(editedTo, c); };
    for (auto [row, other] : rows)
        for (int c = 1; c < from->Model()->ColumnCount(); ++c) {
            if (!ticked(c))
                continue;
            edited->SelectRow(row);
            editedTo->SelectRow(other);
            moved = true;
            CopyLines(lines(edited, c), lines(editedTo, c), lacks);
        }
    for (auto [row, other] : rows)
        for (int c = 1; c < from->Model()->ColumnCount(); ++c) {
            if (ticked(c))
                continue;
            editedTo->SetValue(other, c, edited->Value(row, c));
            editedTo->SetText(other, c, edited->Text(row, c));
        }
    lacks.removeDuplicates();
    if (moved)
        from->SelectRow(selected);
    if (selected >= 0) {
        const int other = MatchRow(from, selected, to);
        if (other < 0) {
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
        const int index = b->findText(a->currentText());
        if (index < 0)
            lacks << "no choice " + a->currentText();
        else
            b->setCurrentIndex(index);
    } else if (auto* a = qobject_cast<TNumberBox*>(from)) {
        if (!a->IsBlank())
            static_cast<TNumberBox*>(to)->setValue(a->value());
    } else if (auto* a = qobject_cast<QSpinBox*>(from)) {
        static_cast<QSpinBox*>(to)->setValue(a->value());
    } else if (auto* a = qobject_cast<QDoubleSpinBox*>(from)) {
        static_cast<QDoubleSpinBox*>(to)->setValue(a->value());
    } else if (auto* a = qobject_cast<QDateTimeEdit*>(from)) {
        static_cast<QDateTimeEdit*>(to)->setDateTime(a->dateTime());
    } else if (auto* a = qobject_cast<QLineEdit*>(from)) {
        // An empty address field shows no value; an empty text is one.
        if (!a->text().isEmpty() || !(a->inherits("TIpEdit") || a->inherits("TMacEdit")))
            static_cast<QLineEdit*>(to)->setText(a->text());
    } else if (auto* a = qobject_cast<QPlainTextEdit*>(from)) {
        static_cast<QPlainTextEdit*>(to)->setPlainText(a->toPlainText());
    } else if (auto* a = qobject_cast<QCheckBox*>(from)) {
        static_cast<QCheckBox*>(to)->setChecked(a->isChecked());
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

TWorld::TWorld(TPageTestEnvironment& env, int seed)
    : m_Env(env), m_Scratch(env.AddDevice(250, Ip(10, 0, 0, 250))), m_Seed(seed)
{
}

std::vector<int> TWorld::Hidden(const Intp::TDevice*) const { return {}; }

std::set<std::uint16_t> TWorld::Read(const Intp::TDevice* device) const
{
    return m_Read.count(device) ? m_Read.at(device) : std::set<std::uint16_t>{};
}

std::set<std::uint16_t> TWorld::Failed(const Intp::TDevice* device) const
{
    return m_Failed.count(device) ? m_Failed.at(device) : std::set<std::uint16_t>{};
}

Intp::TDevice* TWorld::AddSwitch(std::uint32_t model, int seed, TFailure failure, bool shown)
{
    const auto last = std::uint8_t(m_Plans.size() + 1);
    Intp::TDevice* device = m_Env.AddDevice(last, Ip(10, 0, 0, last));
    device->SetType(model);
    m_Plans[device] = {seed, failure, shown, {}};
    (void)m_Seed;
    if (shown)
        m_PoolSeed = seed;
    return device;
}

void TWorld::Reseed(Intp::TDevice* device, int seed, TValues values)
{
    m_Plans[device].seed = seed;
    m_Plans[device].values = values;
    if (m_Plans[device].shown)
        m_PoolSeed = seed;
}

void TWorld::Show(TModulePage* page, TFakePageHost* host)
{
    page->SetHost(host);
    m_Env.page = page;
    page->OnNotify(nullptr, ncSelectionChanged, 0);
    for (Intp::TDevice* device : host->selection) {
        m_Read.erase(device);
        m_Failed.erase(device);
    }
    for (int round = 0; round < 2; ++round) {
        m_Failing = round == 1;
        page->Refresh(true);
        Settle();
    }
    m_Failing = false;
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
        std::vector<TBytes>& added = m_Added[table];
        if (added.size() < 2 && std::find(added.begin(), added.end(), entries.back()) == added.end())
            added.push_back(entries.back());
    }
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
        const bool fails = failure.code == frame.code && (m_Failing || failure.first);
        if (!IsChangeCode(frame.code) && frame.code != Intp::ccIntpLogin)
            m_Read[device].insert(frame.code);
        if (fails)
            m_Failed[device].insert(frame.code);
        if (IsChangeCode(frame.code))
            IntpTest::TFakeHost::Reply(frame.code, device, empty);
        else if (fails && failure.status == Intp::ssTimeout)
            m_Env.protocol.TimeOut(device, frame.code);  // a resend is answered the same way
        else if (fails)
            IntpTest::TFakeHost::Reply(frame.code, device, empty, failure.status);
        else
            IntpTest::TFakeHost::Reply(frame.code, device, ReplyFor(device, plan->second, frame.code, frame.payload));
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
    const auto handler = Handlers().find(code);
    const FakeSwitch::THandlerEntry* entry = handler != Handlers().end() ? &handler->second : nullptr;
    // A table's entries come from the pool of the switch on show.
    static std::map<std::string, TBytes> made;
    std::string key = CacheKey(device, plan.seed * 2 + plan.shown, code, request) +
                      std::to_string(plan.values.moves * 2 + plan.values.whole) + ',' + std::to_string(m_Seed) + ',' +
                      (entry && entry->EntrySize ? std::to_string(m_PoolSeed) : std::string());
    if (m_Holding && m_Added.count(code))
        for (const TBytes& added : m_Added[code])
            key.append(added.begin(), added.end());
    if (auto it = made.find(key); it != made.end())
        return it->second;

    const Intp::TCommandInfo* info = Intp::FindCommand(code);
    TBytes base(info ? info->minReply : 4, 0);
    if (entry)
        if (FakeSwitch::TReply reply = Answer(Fresh(device), *entry, code, request);
            reply.Status == FakeSwitch::StatusOk)
            base = reply.Payload;
    return made[key] =
               entry && entry->EntrySize
                   ? Table(device, plan, code, base, entry->PrefixSize, entry->EntrySize,
                           std::min<std::size_t>(entry->PageEntries - 1, 6), entry->TrailerSize)
                   : Record(device, plan, code, base, entry ? entry->FixedSize : 0, entry ? entry->ElementSize : 0);
}

bool TWorld::Takes(std::uint32_t model, std::uint16_t code, const TBytes& reply)
{
    // A code read by either generation's request (the trunk table) is taken
    // when one of them takes the reply.
    bool known = false;
    for (int row = 0, index; (index = Intp::FindCommandIndex(code, row)) >= 0; ++row) {
        Intp::TSession* session = Intp::CreateSession(code, Intp::g_CommandTable[std::size_t(index)].requestClass);
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
TBytes TWorld::Move(TBytes bytes, unsigned seed, std::size_t tries, std::uint32_t model, std::uint16_t code, W wrap,
                    const std::vector<bool>& kept, std::uint8_t step)
{
    std::mt19937 rng(seed);
    std::vector<std::size_t> at(bytes.size());
    std::iota(at.begin(), at.end(), 0);
    std::shuffle(at.begin(), at.end(), rng);
    at.resize(std::min(at.size(), tries));
    // Texts (port names, the switch's name) stay as the model has them.
    auto inText = [&](std::size_t p) {
        return (p < kept.size() && kept[p]) || std::isgraph(bytes[p]) || (p > 0 && std::isgraph(bytes[p - 1]));
    };
    for (std::size_t p : at) {
        // Every other value on average: switches differ in which ones move.
        for (int attempt = 0; attempt < 2 && !inText(p) && (tries < 8 || rng() % 2); ++attempt) {
            // A step to the next value.
            TBytes moved = bytes;
            moved[p] = std::uint8_t(attempt == 0 ? bytes[p] ^ step : bytes[p] + step);
            if (moved != bytes && Takes(model, code, wrap(moved))) {
                bytes = std::move(moved);
                break;
            }
        }
    }
    return bytes;
}

TBytes TWorld::Record(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& base,
                      std::size_t fixed, std::size_t element)
{
    // An element's own index (a port number), and the zero bytes before it,
    // stay: the rows of a per-port record keep their ports.
    std::vector<bool> kept(base.size());
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
                kept[fixed + e * element + o - back] = true;
        }
    }
    return Move(
        base, unsigned(plan.seed) * 7919u + code, plan.values.moves, device->GetType(), code,
        [](const TBytes& b) { return b; }, kept, 1);
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

TBytes TWorld::Table(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& base,
                     std::size_t prefixSize, std::size_t entrySize, std::size_t maxEntries, std::size_t trailer)
{
    const TBytes prefix(base.begin(), base.begin() + std::ptrdiff_t(std::min(prefixSize, base.size())));
    const std::uint32_t model = device->GetType();
    auto one = [&](const TBytes& entry) { return TablePage(code, prefix, {entry}, trailer); };
    // A pool shared by every switch of the generation: the first model that
    // reads the table makes it (the switch on show reads first).
    static std::map<std::tuple<std::uint16_t, bool, int>, std::vector<TBytes>> pools;
    std::vector<TBytes>& generated = pools[{code, IsSecondGeneration(device), m_PoolSeed}];
    for (unsigned k = 0; generated.empty() && k < 4; ++k) {
        std::mt19937 rng(code * 131u + k + unsigned(m_PoolSeed) * 7u);
        TBytes entry(entrySize, 0);
        for (int attempt = 0; attempt < 200 && !Takes(model, code, one(entry)); ++attempt)
            for (std::uint8_t& b : entry)
                b = rng() % 3 == 0 ? std::uint8_t(rng() % 4) : 0;
        entry = Move(entry, code * 977u + k + unsigned(m_PoolSeed), 24, model, code, one);
        if (Takes(model, code, one(entry)) && std::find(generated.begin(), generated.end(), entry) == generated.end())
            generated.push_back(entry);
    }
    std::vector<TBytes> pool = generated;
    if (m_Holding && m_Added.count(code))
        pool.insert(pool.begin(), m_Added[code].begin(), m_Added[code].end());
    // The switch on show holds the whole pool; others keep an entry, change
    // it, lack it, and hold one of their own.
    const int seed = plan.seed;
    std::mt19937 rng(unsigned(seed) * 31u + code);
    std::vector<TBytes> entries, kept;
    for (const TBytes& entry : pool) {
        if (!Takes(model, code, one(entry)))
            continue;
        kept.push_back(entry);
        const unsigned pick = plan.shown ? 1 : rng() % 5;
        if (pick >= 3)
            entries.push_back(Move(entry, unsigned(seed) * 53u + code, 1, model, code, one));
        else if (pick != 0)
            entries.push_back(entry);
    }
    if (!plan.shown && !pool.empty())
        entries.push_back(Move(pool.front(), unsigned(seed) * 61u + code, 8, model, code, one));
    if (entries.size() > maxEntries)
        entries.resize(maxEntries);
    if (kept.size() > maxEntries)
        kept.resize(maxEntries);
    for (const std::vector<TBytes>* page : {&entries, &kept})
        if (Takes(model, code, TablePage(code, prefix, *page, trailer)))
            return TablePage(code, prefix, *page, trailer);
    return base;
}

QString CopyShown(QWidget* from, QWidget* to, TCopy what)
{
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
    for (TUntypedReportList* list : page->findChildren<TUntypedReportList*>()) {
        if (row < list->RowCount())
            list->SelectRow(row);
        rows = std::max(rows, list->RowCount());
    }
    return rows;
}

}  // namespace Oracle
