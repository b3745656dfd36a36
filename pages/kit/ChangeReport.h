#pragma once

// What became of the changes a page sends. Every change request started in
// one turn of the event loop (one Apply, Add or Del) is one batch; the report
// is the wizard of each of them. A target the page could not send to is
// named at once with its reason; a switch that refuses the change (any
// non-zero status) or does not answer is named when the batch's last outcome
// is in. The batch then tells the page once: a line of what was done, and
// the switches that were not changed, if any.

#include "intp/Device.h"
#include "intp/Session.h"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

class QObject;

class TChangeReport : public Intp::TWizard {
public:
    // done: the summary line; failed: one line per switch not changed (empty
    // when every switch took the change).
    using TTell = std::function<void(const QString& done, const QStringList& failed)>;
    // started: the line while replies are awaited, again as their number
    // falls.
    using TStarted = std::function<void(const QString& started)>;

    TChangeReport(QObject* context, TStarted started, TTell tell);

    // A change request started on device with code.
    void Started(Intp::TDevice* device, std::uint16_t code);
    // A target that was not sent the change, with the reason.
    void NotSent(Intp::TDevice* device, const QString& reason);
    // Ends the waits for switches that left the device list (they can answer
    // no more).
    void Prune();

    // An outcome ends the device's change of the same code, or else its
    // oldest change waiting: table entry changes tell it under their
    // table's read code.
    void OnWizardEvent(Intp::TDevice* device, std::uint16_t code, std::uint16_t status, const void* context) override;

    // How a switch is named. Why a status means no change or no read, in
    // words: the library's statuses, or "the switch refused (code n)".
    static QString DeviceText(const Intp::TDevice* device);
    static QString StatusReason(std::uint16_t status);
    // The line of a batch: "Changed.", "Changed on 1 of 2 switches." ...
    static QString Summary(int targets, int notChanged);

private:
    struct TPending {
        Intp::TMacAddr mac;
        std::uint16_t code;
        QString name;
    };
    struct TBatch {
        std::vector<TPending> pending;
        QStringList failed;
        int targets = 0;
        bool sealed = false;
    };

    TBatch& Open();
    std::vector<TPending>::iterator FindOutcome(const Intp::TDevice* device, std::uint16_t code, TBatch*& batch);
    void Seal();
    void Finish();
    // The switches sealed batches still wait for.
    int Waiting() const;

    QPointer<QObject> m_Context;
    TStarted m_StartedTell;
    TTell m_Tell;
    std::deque<TBatch> m_Batches;
    int m_Waiting = 0;
};

// A count and its noun (ASCII), for the reasons a report gives: "1 port", "24 ports".
QString Counted(qint64 count, const char* one, const char* many);
