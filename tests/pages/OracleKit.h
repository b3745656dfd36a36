#pragma once

// The "as if alone" oracle kit: switches in the fake protocol host that
// answer every read from their own seed, pages driven through their reads
// and controls, and the controls of one page set on another as shown.
//
// Every read is answered with a reply made from the fake switch's record of
// that read (its declaration sizes it by the model), each value then moved
// by the world's and the switch's seeds to any value the library still takes
// (texts to other printable texts; the ports of per-port rows stay); some
// switches fill their arrays to the model's count. Port names stay the
// model's but for 0 to 2 named "Port.XX" and now and then one renamed.
// Tables hold entries of a pool per table, generation and world: entries on
// ports of larger models, entries alike in their first or their later
// values; the switch on show and the others each hold some only they hold,
// in orders of their own. A switch fails the read of one code on the second
// read of a refresh pair, or on both, or never answers it. On top of these
// a switch may be built with edges (TEdges): entries one value off the
// pool's first entry (which the page's own Add sent, once learnt), hidden
// ports at fixed places, values past a page's choices, full arrays,
// records one value off the switch on show's, a port one past the last,
// every value at the lowest or the highest the library takes, changes
// refused, a trunk group at its member limit with a hidden member.

#include "PageTestHost.h"
#include "pages/kit/ModulePage.h"

#include <QString>

#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

class QAbstractButton;
class QLineEdit;
class QWidget;

namespace Oracle {

using TBytes = std::vector<std::uint8_t>;

// One change request as sent: its code and payload.
struct TChange {
    std::uint16_t code = 0;
    TBytes payload;
    bool operator==(const TChange&) const = default;
};
// "0x1234 [01 02 ...]" per change.
QString Text(const std::vector<TChange>& changes);
// Where sent differs from expected (change by change, byte by byte), or
// all of sent when their changes differ.
QString Diff(const std::vector<TChange>& expected, const std::vector<TChange>& sent);

// What one press did.
struct TOutcome {
    std::map<Intp::TDevice*, std::vector<TChange>> sent;  // changes by target, in order
    QStringList told;                                     // message boxes shown
    bool leftOut = false;                                 // a login or reboot sent, not counted as a change
    bool Named(const Intp::TDevice* device) const;        // named as not changed
    bool AnyChange() const;
    // Whether every change sent deletes an entry (by its key).
    bool Deletes() const;
};

// How far a switch's records are from the model's: how many values may
// move (fewer keep more of the model's), and whether a moved value takes
// any value the library takes over its whole range or a step.
struct TValues {
    std::size_t moves = std::size_t(-1);
    bool whole = true;
    std::uint8_t step = 1;  // a step's size (two: a mode two steps off)
};

// How a switch's latest read of one record ends when it fails.
struct TFailure {
    std::uint16_t code = 0;    // the read code that fails (0: none)
    std::uint16_t status = 0;  // Intp::ssTimeout, kNever or a refusing status
    bool first = false;        // its first read fails too: the record was never read
};
// A failure's status: the read is never answered.
inline constexpr std::uint16_t kNever = 0xffff;

// Edges a switch is built with on top of its seed's values.
struct TEdges {
    // Its tables: drawn from the pools; or near entries, each equal to the
    // pool's first entry in all values but one (once for each), alone,
    // before that entry or after it; or that entry alone.
    enum TEntries { drawn, nearOnly, nearBefore, nearAfter, identical } entries = drawn;
    // Its ports named "Port.XX": drawn, or the first, a middle or the last.
    enum THidden { drawnPorts, first, middle, last } hidden = drawnPorts;
    // Rows with a value the library takes and no smaller value does (past
    // a page's choices): every row, or (shown) every third.
    bool unshowable = false;
    // Its arrays full to the model's count.
    bool full = false;
    // Its records and tables the switch on show's, one value moved in one
    // of the records the switch on show was read (but a mode alone).
    bool nearRecord = false;
    // Every other value of each record's fixed part at the model's port
    // count or past it, no two alike: a port one past its last, counted
    // from 0 or from 1 (which values, and which is at the count, go with
    // the world).
    bool pastLastPort = false;
    // Every value of its records (their own fields and rows) at the
    // lowest or the highest the library takes, past a field's range on
    // that side where the library takes it (shown: the values pastLastPort
    // leaves, a third at each end, which ones going with the world).
    enum TExtreme { drawnValues, lowest, highest, shownMix } extreme = drawnValues;
    // Its changes answered with this status (Intp::ssTimeout: never
    // answered, timed out); 0: taken.
    std::uint16_t refusal = 0;
    // Its first trunk group exactly at the model's member limit, a hidden
    // port among the members.
    bool trunkAtLimit = false;
};

// The switches of one test and their answers.
class TWorld {
public:
    // A world drawn from seed: its tables' pools (entries on up to
    // poolPorts ports), and every switch's values with its own seed.
    TWorld(TPageTestEnvironment& env, int seed = 0, std::uint32_t poolPorts = 16);

    // A logged-in switch of the model answering from seed; failure is how
    // its latest read of one record ends. The switch on show (shown) holds
    // every entry of the tables' pools.
    Intp::TDevice* AddSwitch(std::uint32_t model, int seed, TFailure failure = {}, bool shown = false,
                             TEdges edges = {});
    // The port indexes the switch names "Port.XX" (drawn from its seed).
    std::vector<int> Hidden(const Intp::TDevice* device) const;
    // The read codes the switch was asked in its latest Show, and those of
    // them whose latest read the world failed.
    std::set<std::uint16_t> Read(const Intp::TDevice* device) const;
    std::set<std::uint16_t> Failed(const Intp::TDevice* device) const;
    // The entries of the table the switch answered its latest read of code
    // with, in order, as the library reads them (bytes past a text's end
    // dropped), and the bytes of an entry that are the table's key
    // (offset and size; size 0: code is no table).
    std::vector<TBytes> Entries(const Intp::TDevice* device, std::uint16_t code) const;
    static std::pair<std::size_t, std::size_t> EntryKey(std::uint16_t code);
    // Whether the read code reads a table.
    static bool IsTable(std::uint16_t code);
    // The key (as EntryKey tells it) of the entry of code's table a change's
    // payload names, whole or by its key alone; empty when it names none.
    static TBytes KeyNamed(std::uint16_t code, const TBytes& payload);
    // Where the records and tables the switch last read would differ, as
    // the fake switch answers them, once it took the changes: empty when
    // each comes back byte for byte as read. hasAnswer: whether the fake
    // switch answers every change.
    QString RoundTrip(const Intp::TDevice* device, const std::vector<TChange>& sent, bool* hasAnswer = nullptr) const;
    // The records (no tables) the switch last read as the fake switch
    // answers them once it took the changes; empty when it refuses one.
    std::map<std::uint16_t, TBytes> After(const Intp::TDevice* device, const std::vector<TChange>& sent) const;
    // The switch answers the reads of these records with these replies
    // from now on (none: as drawn).
    void AnswerWith(const Intp::TDevice* device, std::map<std::uint16_t, TBytes> replies)
    {
        m_Fixed[device] = std::move(replies);
        ++m_Version;
    }
    // Other values for the switch from now on.
    void Reseed(Intp::TDevice* device, int seed, TValues values = {});
    // The switch's edges from now on.
    void SetEdges(Intp::TDevice* device, TEdges edges)
    {
        m_Plans[device].edges = edges;
        ++m_Version;
    }
    // All the switches' answers depend on that may change within a world
    // (of device only, where given): read twice with one key, they answer
    // alike.
    std::string AnswersKey(const Intp::TDevice* device = nullptr) const;
    // Read codes whose failure the world's pages don't wait for (port
    // names where a page lists every port without them): a switch failing
    // them shows every port, none hidden.
    // Those of onceRead only after a first read that succeeded (a read a
    // chain goes on from: failed first, the record after it is never read).
    void SetUnneeded(std::set<std::uint16_t> codes, std::set<std::uint16_t> onceRead = {})
    {
        m_Unneeded = std::move(codes);
        m_UnneededOnceRead = std::move(onceRead);
    }
    // The codes of Failed that the page waits for.
    std::set<std::uint16_t> FailedNeeded(const Intp::TDevice* device) const;
    TEdges Edges(const Intp::TDevice* device) const;

    // Shows the page on host: refreshes it twice as the real page does on
    // show and on a refresh; failing switches fail the second time.
    void Show(TModulePage* page, TFakePageHost* host);
    // Clicks the page's button (modal dialogs closed at once) and answers
    // everything until the page is told the outcome.
    TOutcome Press(TModulePage* page, QAbstractButton* button);
    // Entries the changes sent to the switch on show would add to a table,
    // held by the switches from now on as entries of their tables' pools.
    void Hold()
    {
        m_Holding = true;
        ++m_Version;
    }
    bool Added() const { return !m_Added.empty(); }
    // Forgets the entries noted so far (of presses that were no Add).
    void ForgetAdded()
    {
        m_Added.clear();
        ++m_Version;
    }
    // Presses every control of the page (its empty fields filled) once:
    // the first entry each table's Add gets is its pool's first entry, one
    // the page shows, from then on.
    void Learn(TModulePage* page);
    // Answers every request sent since the last call.
    void Pump();
    // Pumps and runs posted events until nothing more happens.
    void Settle();

private:
    struct TPlan {
        int seed = 0;
        TFailure failure;
        bool shown = false;
        TValues values;
        TEdges edges;
        std::uint16_t nearCode = 0;  // the record a near switch holds one value off in
    };
    TBytes ReplyFor(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& request);
    // The switch's answers to its latest reads (before), then once the fake
    // switch holding them took the changes (after); why, when it refuses one.
    QString Take(const Intp::TDevice* device, const std::vector<TChange>& sent, std::map<std::uint16_t, TBytes>& before,
                 std::map<std::uint16_t, TBytes>& after, bool* hasAnswer) const;
    TBytes Record(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& base, std::size_t fixed,
                  std::size_t element);
    TBytes Table(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, const TBytes& base, std::size_t prefix,
                 std::size_t entrySize, std::size_t maxEntries, std::size_t trailer);
    TBytes TablePage(std::uint16_t code, const TBytes& prefix, const std::vector<TBytes>& entries,
                     std::size_t trailer) const;
    // The pool of a table: entries taken by a large model of the generation.
    const std::vector<TBytes>& Pool(Intp::TDevice* device, std::uint16_t code, const TBytes& prefix,
                                    std::size_t entrySize, std::size_t trailer);
    // Whether the library takes reply as the read code's answer on a
    // switch of model.
    bool Takes(std::uint32_t model, std::uint16_t code, const TBytes& reply);
    void NoteAdded(Intp::TDevice* device, std::uint16_t code, const TBytes& payload);
    // bytes (what each is: kinds) with the values of up to moves units moved where the reply
    // made by wrap still passes: any value (whole), or one step.
    template <class W>
    TBytes Move(TBytes bytes, unsigned seed, const std::vector<std::uint8_t>& kinds, const TValues& values, bool full,
                std::uint32_t model, std::uint16_t code, W wrap, std::size_t fixed = 0, std::size_t element = 0);
    // The pool's first entry with one value moved, once for each value (a
    // value byte also to its largest taken), for a switch of the device's
    // generation.
    const std::vector<TBytes>& Near(Intp::TDevice* device, std::uint16_t code, const TBytes& prefix,
                                    std::size_t entrySize, std::size_t trailer);
    // bytes with byte at its largest value the library takes (no change: none).
    // (learnt once for each slot of the record and model).
    // bytes with the values of the edge extreme at their lowest or highest.
    TBytes Extremes(Intp::TDevice* device, const TPlan& plan, std::uint16_t code, TBytes bytes,
                    const std::vector<std::uint8_t>& kinds, std::size_t fixed, std::size_t element);
    template <class W>
    TBytes Largest(TBytes bytes, std::size_t at, std::uint32_t model, std::uint16_t code, W wrap, std::size_t slot);
    // The model the pools of the device's generation are drawn for.
    std::uint32_t PoolModel(Intp::TDevice* device);
    // The table page of entries the switch holds: one of a key, as many as
    // the page holds and the library takes.
    TBytes Held(Intp::TDevice* device, std::uint16_t code, const TBytes& prefix, std::vector<TBytes> entries,
                std::size_t maxEntries, std::size_t trailer);
    // Whether the switch holds the switch on show's records (one value off)
    // and tables.
    bool NearShown(const Intp::TDevice* device, const TPlan& plan) const;
    // The hidden ports of a switch of model drawn from seed.
    std::vector<int> HiddenPorts(const Intp::TDevice* device, const TPlan& plan) const;

    TPageTestEnvironment& m_Env;
    int m_Seed = 0;
    std::uint32_t m_PoolPorts = 16;
    std::map<const Intp::TDevice*, std::map<std::uint16_t, std::vector<TBytes>>> m_Entries;
    std::vector<TBytes> m_TableEntries;  // those of the table Table made last
    std::map<Intp::TDevice*, TPlan> m_Plans;
    Intp::TDevice* m_Shown = nullptr;  // the first switch on show
    Intp::TDevice* m_Scratch;
    std::size_t m_Answered = 0;
    int m_Round = -1;  // the refresh of a Show, -1 outside one
    std::map<const Intp::TDevice*, std::set<std::uint16_t>> m_Read, m_Failed;
    // The latest good read of each code by switch: its request and reply.
    std::map<const Intp::TDevice*, std::map<std::uint16_t, std::pair<TBytes, TBytes>>> m_Replies;
    std::uint32_t m_Large[2] = {0, 0};                     // the pools' models by generation
    std::map<std::uint16_t, std::vector<TBytes>> m_Added;  // entries by table code
    bool m_Holding = false;
    bool m_Learning = false;
    std::uint64_t m_Version = 0;  // changes to the answers other than a switch's values
    std::map<std::uint16_t, TBytes> m_First;  // the pools' first entries by table code
    std::set<std::uint16_t> m_Unneeded, m_UnneededOnceRead;
    std::map<const Intp::TDevice*, std::map<std::uint16_t, TBytes>> m_Fixed;  // replies by code
};

// What CopyShown sets: all the page shows; the selected entries alone (a
// delete names an entry by its key, the target's own entry goes; with none
// selected, all: the form names it); the form alone (fields and ticks, no
// list rows).
enum class TCopy { shown, entry, form };

// What CopyShown says first of an entry that can't be told apart on the
// target's page: either outcome is right for it.
inline const QString kAmbiguous = QStringLiteral("ambiguous entry ");
// What it says first of a selected entry whose row the test can't tell on
// the target's page (rows alike): the target is right to be named for it,
// or sent its own entry of the key.
inline const QString kUntold = QStringLiteral("entry not told apart ");

// The ports two switches' pages list, by index in row order, and their
// names: lists of them are matched port by port, the same index (as the
// wire numbers ports), not by their rows' texts.
struct TPortLists {
    std::vector<int> from, to;
    std::vector<std::string> fromNames, toNames;
    // The entries of the table the pages list, in their switches' order,
    // told apart by keyBytes from keyAt: rows of a list of them are matched
    // by that key.
    std::vector<TBytes> fromEntries, toEntries;
    std::size_t keyAt = 0, keyBytes = 0;
};

// Sets the value controls of to (a page of the same class) to what from
// shows: controls matched in construction order, list rows by their key
// column, ticked lines by their text, and with ports the rows and lines of
// ports by the port's index; a control showing no value sets nothing.
// Answers what to lacks of what from shows (empty: nothing).
QString CopyShown(QWidget* from, QWidget* to, TCopy what = TCopy::shown, const TPortLists* ports = nullptr);

// Whether the page shows each of the devices in a row of its own.
bool RowPerSwitch(QWidget* page, const TDeviceList& devices);

// Fills what the page's form leaves empty: a host address, a MAC address
// or one text typed into every empty field that takes it (a new name and
// password, typed twice), the first of radio buttons none of which is
// picked, the first line of ticked lines none of which is ticked.
void FillEmpty(QWidget* page);

// Sets every number field of the page to its largest value (a key no
// entry has).
void Largest(QWidget* page);

// Chooses the first or last port ports.from lists in every port chooser
// of the page, and ticks its line in every list of port lines; answers
// whether the page has any.
bool ChoosePort(QWidget* page, bool last, const TPortLists& ports);

// Types text into the field as a user does: it is then modified.
void Type(QLineEdit* edit, const QString& text);
// Types every text and number field of the page that shows one again, as
// it shows it; answers whether it has any.
bool Retype(QWidget* page);

// A button's text, its tooltip without one.
QString ControlName(const QAbstractButton* button);

// The page's push and tool buttons, in construction order.
std::vector<QAbstractButton*> Buttons(QWidget* page);
// Selects that row of every list of the page that has it; answers the
// most rows a list has.
int SelectRows(QWidget* page, int row);

// What a form field shows: its text, its item, its radio button picked
// (none: no value).
std::optional<QString> FieldText(QWidget* field);
// The page's captioned fields, in the order their captions were made.
std::vector<QWidget*> Fields(QWidget* page);

// All a page shows: each widget's kind, whether it is on and hidden, and
// what it holds (a text typed marked so); a list's every cell, tick and
// selection and its sorting; of except (a status line), not its text. Two
// pages alike here send alike.
QString PageState(QWidget* page, const QWidget* except = nullptr);

// Selects each row of the page's lists in turn: where a form field's
// caption names a column, what the field shows and the row's cell differ
// (empty: nowhere).
QString FormUnlikeRows(QWidget* page);

}  // namespace Oracle
