#include "pages/kit/MessageBox.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QStatusBar>
#include <QWidget>

#include <deque>

namespace {

TMessageBoxHook& Hook()
{
    static TMessageBoxHook hook;
    return hook;
}

bool g_BoxOpen = false;

// Boxes waiting for their turn; a context that was given and is gone drops its box.
struct TQueuedBox {
    QMessageBox::Icon icon;
    QString text;
    QPointer<const QObject> context;
    bool hasContext;
};

std::deque<TQueuedBox>& Queued()
{
    static std::deque<TQueuedBox> queue;
    return queue;
}

// One box a turn: the box shown posts the next turn when it closes, and so
// does one open now (this turn ran inside its loop).
void ShowQueued()
{
    while (!g_BoxOpen && !Queued().empty()) {
        const TQueuedBox box = Queued().front();
        Queued().pop_front();
        if (!box.hasContext || box.context) {
            ShowMessageBox(box.icon, box.text);
            return;
        }
    }
}

void PostShowQueued()
{
    if (!Queued().empty() && QCoreApplication::instance())
        QMetaObject::invokeMethod(QCoreApplication::instance(), &ShowQueued, Qt::QueuedConnection);
}

struct TOpenGuard {
    TOpenGuard() { g_BoxOpen = true; }
    ~TOpenGuard()
    {
        g_BoxOpen = false;
        PostShowQueued();
    }
    TOpenGuard(const TOpenGuard&) = delete;
    TOpenGuard& operator=(const TOpenGuard&) = delete;
};

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
    if (buttons == QMessageBox::NoButton)
        buttons = QMessageBox::Ok;
    if (g_BoxOpen)
        return EscapeAnswer(buttons);

    TMessageBoxRequest request;
    request.icon = icon;
    request.title = title.isEmpty() ? QGuiApplication::applicationDisplayName() : title;
    request.text = text;
    request.buttons = buttons;
    request.defaultButton = defaultButton;

    TOpenGuard guard;
    if (Hook())
        return Hook()(request);

    QMessageBox box(icon, request.title, text, buttons, QApplication::activeWindow());
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    int result = box.exec();
    QMessageBox::StandardButton answer = QMessageBox::StandardButton(result);
    if (!buttons.testFlag(answer))
        answer = EscapeAnswer(buttons);
    return answer;
}

void ShowMessageBoxLater(QMessageBox::Icon icon, const QString& text, const QObject* context)
{
    Queued().push_back({icon, text, context, context != nullptr});
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
