#pragma once

// The one way the console shows a modal message box. Tests replace the box
// by a hook that answers it. Boxes are never stacked: one asked for while
// another is open (its nested event loop may deliver notifications) waits
// its turn in one queue, in order, and shows once the boxes before it are
// answered; its caller waits for its answer as for any modal box.
// ShowMessageBoxLater queues a notice without waiting for it.

#include <QMessageBox>
#include <QString>
#include <QUrl>

#include <functional>

struct TMessageBoxRequest {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
};

using TMessageBoxHook = std::function<QMessageBox::StandardButton(const TMessageBoxRequest&)>;

// Shows the box (or asks the hook) and answers the button pressed; the
// escape answer when the application quits before the box's turn. The title
// defaults to the application's display name. A hook opens no window: a box
// asked for inside its answer is asked of it at once.
QMessageBox::StandardButton ShowMessageBox(QMessageBox::Icon icon, const QString& text,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
                                           const QString& title = QString());

// A box nobody waits on the answer of: shown at a later turn of the event
// loop, when no box is open, after every box queued before it. Dropped only
// when context (if given) is gone by then.
void ShowMessageBoxLater(QMessageBox::Icon icon, const QString& text, const QObject* context = nullptr);

// Shorthands for the plain boxes.
void ShowWarning(const QString& text);
void ShowError(const QString& text);
// OK/Cancel question; true for OK.
bool AskOkCancel(const QString& text);

// Opens a web page in the desktop's browser (opener, or the desktop's own
// handler when none is given); a page that can't be opened is told to the
// user. Answers whether it opened.
using TUrlOpener = std::function<bool(const QUrl& url)>;
bool OpenWebPage(const QUrl& url, const TUrlOpener& opener = {});
QString WebPageFailedMessage(const QUrl& url);

// A short notice in the status bar of from's main window (a refused
// selection, an action with nothing to act on); nothing without one.
void ShowStatusMessage(const QWidget* from, const QString& text);

// Replaces the box by the hook (null restores the real box); answers the old hook.
TMessageBoxHook SetMessageBoxHook(TMessageBoxHook hook);

// True while a box is open.
bool IsMessageBoxOpen();

// The answer given for a box that is not shown: Cancel, No, Ignore or Ok,
// the first of these that the box offers, else its first button.
QMessageBox::StandardButton EscapeAnswer(QMessageBox::StandardButtons buttons);
