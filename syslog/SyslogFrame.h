#pragma once

// The "Syslog Events" page: every received syslog message in arrival order,
// their number, saving them as XML, clearing them, and the message dialog
// of one sender. It owns the message store and is the syslog server; its
// widgets are made when first shown or first asked for.

#include <QAbstractTableModel>
#include <QFrame>
#include <QIcon>

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "pages/kit/PageInterface.h"
#include "pages/kit/SyslogServer.h"
#include "syslog/core/SyslogStore.h"

class QLabel;
class QPushButton;
class QTableView;
class TSyslogForm;

// The page's list: one row per stored message, in arrival order.
class TSyslogEventModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum TColumn { colEventId, colFacility, colSeverity, colHost, colDate, colTime, colMessage, colCount };
    // The row's record {sender address, event id}.
    static constexpr int AddressRole = Qt::UserRole;
    static constexpr int EventIdRole = Qt::UserRole + 1;

    explicit TSyslogEventModel(const Syslog::TSyslogStore& store, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The store gained its last message, after dropping its oldest
    // `dropped` ones at its bound / was emptied.
    void Appended(std::size_t dropped = 0);
    void Reset();

private:
    const Syslog::TSyslogStore& m_Store;
    int m_Rows = 0;
    std::array<QIcon, 3> m_Icons;
};

class TSyslogFrame : public TStaticPage<QFrame>, public Syslog::TSyslogServer {
    Q_OBJECT
public:
    explicit TSyslogFrame(QWidget* owner = nullptr);
    ~TSyslogFrame() override;

    // TModule
    QString GetCaption() const override;

    // Syslog::TSyslogServer
    void Clear() override;
    bool Parse(const char* text, Syslog::TSyslogListNode& node) override;
    void AddMessage(std::uint32_t address, const char* text) override;
    void AddMessages(const Syslog::TReceivedMessage* messages, std::size_t count) override;
    int Count(std::uint32_t address) override;
    const char* GetFacilityName(int facility) override;
    const char* GetSeverityName(int severity) override;
    void Query(std::uint32_t address, TSyslogList* list, bool markRead) override;
    Syslog::TSenderSummary Summary(std::uint32_t address) override;
    bool SaveToFile(const TSyslogList* list, const std::string& fileName) override;
    void ShowSender(std::uint32_t address, QWidget* owner) override;

    // Asks for the file to save to; an empty answer cancels. Tests answer it.
    using TFileNameHook = std::function<QString()>;
    void SetSaveFileNameHook(TFileNameHook hook) { m_FileNameHook = std::move(hook); }
    // Shows the message dialog modally; tests look at it instead.
    using TShowFormHook = std::function<void(TSyslogForm& form)>;
    void SetShowFormHook(TShowFormHook hook) { m_ShowFormHook = std::move(hook); }

    const Syslog::TSyslogStore& Store() const { return m_Store; }
    // The view widgets, made now if not yet; Built() tells whether they are.
    QTableView* ListView();
    QLabel* NumLabel();
    bool Built() const { return m_Panel != nullptr; }
    // Messages the receive queue dropped at its bound, shown with the count.
    void SetQueueDropped(std::uint64_t count);
    // Messages lost before the console could read them (a full receive buffer).
    void SetKernelDropped(std::uint64_t count);

    // Save button: true only when the file was written.
    bool EventOnSaveClick();
    void EventOnClearClick();
    void EventOnListViewDblClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Messages that arrive while a save runs the event loop wait, and are
    // stored once it, and a Clear asked with it, are over.
    class THold;
    void ReleaseHeld();
    bool SaveStore(const QString& fileName);
    void BuildWidgets();
    QString AskSaveFileName();
    void ShowCount();

    Syslog::TSyslogStore m_Store;
    std::uint64_t m_QueueDropped = 0;
    std::uint64_t m_KernelDropped = 0;
    int m_Holding = 0;
    std::vector<std::pair<std::uint32_t, std::string>> m_Held;
    TSyslogEventModel* m_Model = nullptr;

    QWidget* m_Panel = nullptr;
    QWidget* m_TPanel = nullptr;
    QLabel* m_Num = nullptr;
    QPushButton* m_Save = nullptr;
    QPushButton* m_Clear = nullptr;
    QTableView* m_ListView = nullptr;

    TFileNameHook m_FileNameHook;
    TShowFormHook m_ShowFormHook;
};
