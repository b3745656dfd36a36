#include "pages/kit/MessageBox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>

#include <deque>
#include <memory>

namespace {

TMessageBoxHook& Hook()
{
    static TMessageBoxHook hook;
    return hook;
}

bool g_BoxOpen = false;
// Depth of the hook's answers now running: a hook opens no window.
int g_HookAnswering = 0;

// A box waiting for its turn. A caller that needs the answer waits in its
// own loop until the box has been answered; a context that was given and is
// gone drops its box.
struct TWaitingBox {
    TMessageBoxRequest request;
    QPointer<const QObject> context;
    bool hasContext = false;
    bool answered = false;
    QMessageBox::StandardButton answer = QMessageBox::NoButton;
    QEventLoop* waiter = nullptr;
};

std::deque<std::shared_ptr<TWaitingBox>>& Queued()
{
    static std::deque<std::shared_ptr<TWaitingBox>> queue;
    return queue;
}

QMessageBox::StandardButton Show(const TMessageBoxRequest& request);

// One box a turn, shown from whatever loop runs the turn: a caller waiting
// deeper in the stack gets its answer when its loop returns. The box shown
// posts the next turn when it is answered.
void ShowQueued()
{
    while (!g_BoxOpen && !Queued().empty()) {
        const std::shared_ptr<TWaitingBox> box = Queued().front();
        Queued().pop_front();
        if (box->hasContext && !box->context)
            continue;
        box->answer = Show(box->request);
        box->answered = true;
        if (box->waiter)
            box->waiter->quit();
        return;
    }
}

void PostShowQueued()
{
    if (!Queued().empty() && QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &ShowQueued, Qt::QueuedConnection);
}

// The box counts as open until it is answered, not until its loop returns:
// that loop may run under a caller still waiting for its own turn.
class TOpenBox {
public:
    TOpenBox() : m_WasOpen(g_BoxOpen) { g_BoxOpen = true; }
    ~TOpenBox() { Close(); }
    TOpenBox(const TOpenBox&) = delete;
    TOpenBox& operator=(const TOpenBox&) = delete;

    void Close()
    {
        if (!m_Open)
            return;
        m_Open = false;
        g_BoxOpen = m_WasOpen;
        if (!g_BoxOpen)
            PostShowQueued();
    }

private:
    bool m_WasOpen;
    bool m_Open = true;
};

QMessageBox::StandardButton Show(const TMessageBoxRequest& request)
{
    TOpenBox open;
    if (Hook()) {
        ++g_HookAnswering;
        const QMessageBox::StandardButton answer = Hook()(request);
        --g_HookAnswering;
        return answer;
    }
    QMessageBox box(request.icon, request.title, request.text, request.buttons, QApplication::activeWindow());
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    QObject::connect(&box, &QDialog::finished, &box, [&open] { open.Close(); });
    const int result = box.exec();
    QMessageBox::StandardButton answer = QMessageBox::StandardButton(result);
    if (!request.buttons.testFlag(answer))
        answer = EscapeAnswer(request.buttons);
    return answer;
}

// Waits for the box's turn; the escape answer when the loop is ended first
// (the application quits).
QMessageBox::StandardButton WaitForTurn(const TMessageBoxRequest& request)
{
    auto box = std::make_shared<TWaitingBox>();
    box->request = request;
    QEventLoop waiter;
    box->waiter = &waiter;
    Queued().push_back(box);
    if (!box->answered)
        waiter.exec();
    box->waiter = nullptr;
    if (box->answered)
        return box->answer;
    std::erase(Queued(), box);
    return EscapeAnswer(request.buttons);
}

}  // namespace

QMessageBox::StandardButton EscapeAnswer(QMessageBox::StandardButtons buttons)
{
    for (QMessageBox::StandardButton b :
         {QMessageBox::Cancel, QMessageBox::No, QMessageBox::Ignore, QMessageBox::Ok}) {
        if (buttons.testFlag(b))
            return b;
    }
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons.testFlag(QMessageBox::StandardButton(bit)))
            return QMessageBox::StandardButton(bit);
    }
    return QMessageBox::NoButton;
}

QMessageBox::StandardButton ShowMessageBox(QMessageBox::Icon icon, const QString& text,
                                           QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton,
                                           const QString& title)
{
    TMessageBoxRequest request;
    request.icon = icon;
    request.title = title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
    request.text = text;
    request.buttons = buttons == QMessageBox::NoButton ? QMessageBox::Ok : buttons;
    request.defaultButton = defaultButton;
    // Asked inside the hook's answer, the box can't wait for it to close.
    if (!g_BoxOpen || g_HookAnswering > 0)
        return Show(request);
    return WaitForTurn(request);
}

void ShowMessageBoxLater(QMessageBox::Icon icon, const QString& text, const QObject* context)
{
    auto box = std::make_shared<TWaitingBox>();
    box->request.icon = icon;
    box->request.title = QGuiApplication::applicationDisplayName();
    box->request.text = text;
    box->context = context;
    box->hasContext = context != nullptr;
    Queued().push_back(std::move(box));
    PostShowQueued();
}

void ShowWarning(const QString& text) { ShowMessageBox(QMessageBox::Warning, text); }

void ShowError(const QString& text) { ShowMessageBox(QMessageBox::Critical, text); }

QString WebPageFailedMessage(const QUrl& url)
{
    return QStringLiteral("Cannot open %1: no web browser could be started.").arg(url.toString());
}

bool OpenWebPage(const QUrl& url, const TUrlOpener& opener)
{
    const bool opened = opener ? opener(url) : QDesktopServices::openUrl(url);
    if (!opened)
        ShowWarning(WebPageFailedMessage(url));
    return opened;
}

void ShowStatusMessage(const QWidget* from, const QString& text)
{
    if (auto* main = from ? qobject_cast<QMainWindow*>(from->window()) : nullptr)
        main->statusBar()->showMessage(text, 20000);
}

bool AskOkCancel(const QString& text)
{
    return ShowMessageBox(QMessageBox::Question, text, QMessageBox::Ok | QMessageBox::Cancel,
                          QMessageBox::Cancel) == QMessageBox::Ok;
}

TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook)
{
    TMessageBoxHook old = std::move(Hook());
    Hook() = std::move(hook);
    return old;
}

bool IsMessageBoxOpen() { return g_BoxOpen; }
