#include "pages/kit/PageWidgets.h"
#include "pages/kit/SwitchText.h"

#include "intp/NetUtils.h"
#include "intp/Operations.h"
#include "pages/rules/PageRules.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFocusEvent>
#include <QHash>
#include <QHelpEvent>
#include <QLabel>
#include <QToolTip>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------------------
// TIpEdit

TIpEdit::TIpEdit(QWidget* parent) : QLineEdit(parent) { setMaxLength(15); }

uint32_t TIpEdit::Value() const { return ReadIpText(text().toStdString()); }

void TIpEdit::SetValue(uint32_t address) { setText(IpText(address)); }

bool TIpEdit::IsHost() const { return IsHostIp(Value()); }

bool TIpEdit::IsNetmask() const { return ::IsNetmask(Value()); }

void TIpEdit::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    if (!m_Rewrite)
        return;
    const QString dotted = IpText(Value());
    if (dotted != text())
        setText(dotted);
}

QStringList MemoLines(const QPlainTextEdit* memo)
{
    // The raw text: the plain text would turn a no-break space into a space.
    QString text = memo->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, '\n').replace(QChar::LineSeparator, '\n');
    QStringList lines = text.split('\n');
    // A last line break opens no line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// ---------------------------------------------------------------------------
// TMacEdit

TMacEdit::TMacEdit(QWidget* parent) : QLineEdit(parent) { setMaxLength(12); }

bool TMacEdit::IsValid() const { return IsMacText(text().toStdString()); }

bool TMacEdit::Value(uint8_t mac[6]) const { return ReadMacText(text().toStdString(), mac); }

void TMacEdit::SetValue(const uint8_t mac[6])
{
    QString digits;
    for (int i = 0; i < 6; ++i)
        digits += QString::asprintf("%02X", mac[i]);
    setText(digits);
}

std::optional<Intp::TMacAddr> TMacEdit::Address() const
{
    std::uint8_t bytes[6];
    if (!Value(bytes))
        return std::nullopt;
    return Intp::TMacAddr(bytes);
}

void TMacEdit::SetAddress(const Intp::TMacAddr* mac)
{
    if (!mac) {
        clear();
        return;
    }
    std::uint8_t bytes[6];
    mac->CopyTo(bytes);
    SetValue(bytes);
}

void TMacEdit::KeepCase(bool upper)
{
    connect(this, &QLineEdit::textChanged, this, [this, upper](const QString& text) {
        const QString shown = upper ? text.toUpper() : text.toLower();
        if (shown == text)
            return;
        const int cursor = cursorPosition();
        setText(shown);
        setCursorPosition(cursor);
    });
}

void SetChoice(QComboBox* combo, int value)
{
    if (combo)
        combo->setCurrentIndex(value >= 0 && value < combo->count() ? value : -1);
}

// ---------------------------------------------------------------------------
// Glyphs: simple shapes drawn here.

namespace {

const QColor cGreen(0x2E, 0x9E, 0x3A);
const QColor cRed(0xD0, 0x30, 0x30);
const QColor cBlue(0x2F, 0x6F, 0xC8);
const QColor cGrey(0x60, 0x60, 0x60);
const QColor cYellow(0xE8, 0xB8, 0x30);

QPen Stroke(const QColor& colour, qreal width)
{
    QPen pen(colour, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void DrawArrow(QPainter& p, QPointF from, QPointF to, const QColor& colour)
{
    p.setPen(Stroke(colour, 2));
    p.drawLine(from, to);
    QPointF d = to - from;
    qreal len = std::max(1.0, std::hypot(d.x(), d.y()));
    QPointF u(d.x() / len, d.y() / len);
    QPointF n(-u.y(), u.x());
    p.drawLine(to, to - u * 4 + n * 3);
    p.drawLine(to, to - u * 4 - n * 3);
}

void DrawGlyph(QPainter& p, const QString& what)
{
    p.setRenderHint(QPainter::Antialiasing);
    if (what == "ACCEPT" || what == "ACCEPT_WARINIG") {
        p.setPen(Stroke(cGreen, 2.5));
        p.drawPolyline(QPolygonF({QPointF(2.5, 8.5), QPointF(6, 12), QPointF(13.5, 3.5)}));
        if (what == "ACCEPT_WARINIG") {
            // A small warning sign in the lower right corner.
            p.setPen(Stroke(cGrey, 0.8));
            p.setBrush(cYellow);
            p.drawPolygon(QPolygonF({QPointF(11.5, 8), QPointF(15.5, 15), QPointF(7.5, 15)}));
            p.setPen(Stroke(Qt::black, 1.2));
            p.drawLine(QPointF(11.5, 10.5), QPointF(11.5, 12.5));
        }
    } else if (what == "FILTER") {
        p.setPen(Stroke(cGrey, 1));
        p.setBrush(cBlue);
        p.drawPolygon(QPolygonF({QPointF(1.5, 2.5), QPointF(14.5, 2.5), QPointF(9.5, 8.5), QPointF(9.5, 14),
                                 QPointF(6.5, 12.5), QPointF(6.5, 8.5)}));
    } else if (what == "CANCEL") {
        p.setPen(Stroke(cRed, 2.5));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    } else if (what == "ADD") {
        p.setPen(Stroke(cGreen, 2.5));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
    } else if (what == "REMOVE" || what == "DELETE") {
        p.setPen(Stroke(cRed, 2.5));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
    } else if (what == "EDIT") {
        p.setPen(Stroke(cGrey, 1));
        p.setBrush(cYellow);
        p.drawPolygon(QPolygonF({QPointF(3, 13), QPointF(4, 10), QPointF(11, 3), QPointF(13, 5),
                                 QPointF(6, 12)}));
    } else if (what == "CLEAR") {
        p.setPen(Stroke(cGrey, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(3.5, 1.5, 9, 13));
        p.setPen(Stroke(cRed, 2));
        p.drawLine(QPointF(5.5, 6), QPointF(10.5, 11));
        p.drawLine(QPointF(10.5, 6), QPointF(5.5, 11));
    } else if (what == "REBOOT" || what == "REFRESH") {
        p.setPen(Stroke(what == "REBOOT" ? cBlue : cGreen, 2));
        p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 300 * 16);
        p.drawLine(QPointF(10.5, 3.5), QPointF(13, 2));
        p.drawLine(QPointF(10.5, 3.5), QPointF(12, 6));
    } else if (what == "LOGIN" || what == "LOGOUT") {
        p.setPen(Stroke(cGrey, 1.2));
        p.setBrush(QColor(0xC8, 0x9A, 0x5A));
        p.drawRect(QRectF(8.5, 1.5, 6, 13));
        if (what == "LOGIN")
            DrawArrow(p, QPointF(1.5, 8), QPointF(10, 8), cGreen);
        else
            DrawArrow(p, QPointF(10, 8), QPointF(1.5, 8), cRed);
    } else if (what == "INTERNET") {
        p.setPen(Stroke(cBlue, 1.2));
        p.setBrush(QColor(0xD8, 0xE8, 0xFF));
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(5, 1.5, 6, 13));
        p.drawLine(QPointF(1.5, 8), QPointF(14.5, 8));
    } else if (what == "OPEN") {
        p.setPen(Stroke(cGrey, 1));
        p.setBrush(cYellow);
        p.drawPolygon(QPolygonF({QPointF(1.5, 4), QPointF(6, 4), QPointF(7.5, 5.5), QPointF(14.5, 5.5),
                                 QPointF(14.5, 13.5), QPointF(1.5, 13.5)}));
    } else if (what == "NEXT") {
        DrawArrow(p, QPointF(2, 8), QPointF(14, 8), cBlue);
    } else if (what == "PREVIOUS") {
        DrawArrow(p, QPointF(14, 8), QPointF(2, 8), cBlue);
    } else if (what == "TIMER") {
        p.setPen(Stroke(cGrey, 1.2));
        p.setBrush(Qt::white);
        p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Stroke(cBlue, 1.5));
        p.drawLine(QPointF(8, 8), QPointF(8, 4));
        p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
    } else if (what == "SAVE" || what == "BACKUP" || what == "RESTORE" || what == "FIRMWARE") {
        p.setPen(Stroke(cGrey, 1));
        p.setBrush(cBlue);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4, 2, 8, 5));
        if (what == "BACKUP")
            DrawArrow(p, QPointF(8, 8), QPointF(8, 14), cGreen);
        else if (what == "RESTORE")
            DrawArrow(p, QPointF(8, 14), QPointF(8, 8), cGreen);
        else if (what == "FIRMWARE")
            p.fillRect(QRectF(6, 10, 4, 3), cYellow);
    }
}

void DrawDevice(QPainter& p, int size)
{
    p.setRenderHint(QPainter::Antialiasing);
    qreal s = size / 16.0;
    p.setPen(Stroke(cGrey, s));
    p.setBrush(QColor(0xB8, 0xC4, 0xD0));
    p.drawRoundedRect(QRectF(1 * s, 5 * s, 14 * s, 6 * s), s, s);
    p.setBrush(cGreen);
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF((3 + 3 * i) * s, 7 * s, 2 * s, 2 * s));
}

}  // namespace

QLabel* BoldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QIcon PageGlyph(const char* name)
{
    QString key = QString::fromLatin1(name ? name : "");
    // Drawn once per name: lists of thousands of rows share the pixmaps.
    // Kept until exit, never destroyed after the application.
    static auto& drawn = *new QHash<QString, QIcon>;
    if (const auto found = drawn.constFind(key); found != drawn.constEnd())
        return *found;

    int size = 0;
    QString what;
    if (key.startsWith("RC_BITMAP_16X16_")) {
        size = 16;
        what = key.mid(16);
    } else if (key.startsWith("RC_BITMAP_32X32_")) {
        size = 32;
        what = key.mid(16);
    }
    QIcon icon;
    if (size != 0) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        if (what == "DEVICE") {
            DrawDevice(painter, size);
        } else if (what == "DEVICES") {
            painter.translate(0, -size / 5.0);
            DrawDevice(painter, size);
            painter.translate(0, 2 * size / 5.0);
            DrawDevice(painter, size);
        } else {
            painter.scale(size / 16.0, size / 16.0);
            DrawGlyph(painter, what);
        }
        painter.end();
        icon = QIcon(pixmap);
    }
    drawn.insert(key, icon);
    return icon;
}

void LoadGlyph(QAbstractButton* button, const char* name)
{
    if (button)
        button->setIcon(PageGlyph(name));
}

void PlaceControl(QWidget* control, QWidget* parent, int top, int left, int height, int width)
{
    if (!control)
        return;
    control->setParent(parent);
    control->move(left, top);
    control->resize(width, height);
    control->show();
}

Intp::TMd5Digest LoginDigest(const QString& user, const QString& password)
{
    return Intp::MakeLoginDigest(SwitchBytes(user), SwitchBytes(password));
}

namespace {

class TToolTipReason : public QObject {
public:
    TToolTipReason(QWidget* control, std::function<QString()> reason)
        : QObject(control), m_Control(control), m_Reason(std::move(reason))
    {
        control->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_Control || event->type() != QEvent::ToolTip)
            return false;
        const QString text = m_Reason();
        if (text.isEmpty())
            return false;
        QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), text, m_Control);
        return true;
    }

private:
    QWidget* m_Control;
    std::function<QString()> m_Reason;
};

}  // namespace

void SetToolTipReason(QWidget* control, std::function<QString()> reason)
{
    new TToolTipReason(control, std::move(reason));
}

void MakeLoginField(QLineEdit* edit)
{
    MakeSwitchText(edit, 16);
}

void ResizeOnScreen(QWidget* window, const QSize& size)
{
    // Taken before the resize: some window systems tell the new frame later.
    const QSize margins = window->frameGeometry().size() - window->geometry().size();
    const QPoint at = window->frameGeometry().topLeft();
    window->resize(size);
    QScreen* screen = window->screen();
    if (!window->isVisible() || !screen)
        return;
    const QRect room = screen->availableGeometry();
    const QSize frame = size + margins;
    QPoint to = at;
    to.setX(std::max(room.left(), std::min(at.x(), room.x() + room.width() - frame.width())));
    to.setY(std::max(room.top(), std::min(at.y(), room.y() + room.height() - frame.height())));
    if (to != at)
        window->move(to);
}
