#include "console/Icons.h"

#include <QCoreApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

#include <algorithm>


namespace {

void DrawSwitch(QPainter& p, const QRectF& r, const QColor& body)
{
    p.setPen(QPen(Qt::black, r.width() / 16));
    p.setBrush(body);
    QRectF box(r.left() + r.width() * 0.06, r.top() + r.height() * 0.3, r.width() * 0.88, r.height() * 0.4);
    p.drawRoundedRect(box, 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 200, 60));
    for (int i = 0; i < 4; ++i)
        p.drawRect(QRectF(box.left() + box.width() * (0.1 + 0.2 * i), box.top() + box.height() * 0.55,
                          box.width() * 0.12, box.height() * 0.25));
}

void DrawBadge(QPainter& p, const QRectF& r, const QColor& colour, bool bottom)
{
    qreal s = r.width() * 0.42;
    QRectF b(r.right() - s, bottom ? r.bottom() - s : r.top(), s, s);
    p.setPen(QPen(Qt::black, r.width() / 20));
    p.setBrush(colour);
    p.drawEllipse(b);
}

void DrawArrow(QPainter& p, const QRectF& r, const QColor& colour, bool circular)
{
    p.setPen(QPen(colour, r.width() / 8, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QRectF c = r.adjusted(r.width() * 0.2, r.height() * 0.2, -r.width() * 0.2, -r.height() * 0.2);
    if (circular) {
        p.drawArc(c, 30 * 16, 280 * 16);
        p.setBrush(colour);
        QPointF tip(c.right(), c.center().y() - c.height() * 0.25);
        QPolygonF head({tip + QPointF(-r.width() * 0.18, 0), tip + QPointF(r.width() * 0.08, 0),
                        tip + QPointF(-r.width() * 0.05, r.height() * 0.2)});
        p.drawPolygon(head);
    } else {
        p.drawLine(QPointF(c.left(), c.center().y()), QPointF(c.right(), c.center().y()));
        p.drawLine(QPointF(c.right(), c.center().y()), QPointF(c.right() - c.width() * 0.35, c.top()));
        p.drawLine(QPointF(c.right(), c.center().y()), QPointF(c.right() - c.width() * 0.35, c.bottom()));
    }
}

QPixmap Draw(TIconKind kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size, size);
    const qreal w = size;
    switch (kind) {
    case ikDevice:
    case ikDeviceLogin:
    case ikDeviceWarning:
    case ikDeviceLoginWarning:
        DrawSwitch(p, r, QColor(170, 190, 220));
        if (kind == ikDeviceLogin || kind == ikDeviceLoginWarning)
            DrawBadge(p, r, QColor(60, 180, 60), true);
        if (kind == ikDeviceWarning || kind == ikDeviceLoginWarning)
            DrawBadge(p, r, QColor(240, 200, 0), false);
        break;
    case ikRoot:
        p.setPen(QPen(Qt::black, w / 16));
        p.setBrush(QColor(90, 140, 210));
        p.drawRect(QRectF(w * 0.1, w * 0.15, w * 0.8, w * 0.55));
        p.drawLine(QPointF(w * 0.5, w * 0.7), QPointF(w * 0.5, w * 0.85));
        p.drawLine(QPointF(w * 0.3, w * 0.88), QPointF(w * 0.7, w * 0.88));
        break;
    case ikDevices:
        DrawSwitch(p, r.translated(0, -w * 0.15), QColor(170, 190, 220));
        DrawSwitch(p, r.translated(0, w * 0.15), QColor(150, 170, 200));
        break;
    case ikMonitor:
        p.setPen(QPen(QColor(200, 30, 30), w / 10));
        p.drawPolyline(QPolygonF({QPointF(0.05 * w, 0.55 * w), QPointF(0.3 * w, 0.55 * w), QPointF(0.42 * w, 0.2 * w),
                                  QPointF(0.58 * w, 0.85 * w), QPointF(0.7 * w, 0.55 * w),
                                  QPointF(0.95 * w, 0.55 * w)}));
        break;
    case ikSyslog:
        p.setPen(QPen(Qt::black, w / 16));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(w * 0.18, w * 0.08, w * 0.64, w * 0.84));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(w * 0.3, w * (0.25 + 0.17 * i)), QPointF(w * 0.7, w * (0.25 + 0.17 * i)));
        break;
    case ikTopology:
        p.setPen(QPen(Qt::darkGray, w / 12));
        p.drawLine(QPointF(w * 0.5, w * 0.2), QPointF(w * 0.2, w * 0.8));
        p.drawLine(QPointF(w * 0.5, w * 0.2), QPointF(w * 0.8, w * 0.8));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 120, 200));
        for (QPointF c : {QPointF(w * 0.5, w * 0.2), QPointF(w * 0.2, w * 0.8), QPointF(w * 0.8, w * 0.8)})
            p.drawEllipse(c, w * 0.14, w * 0.14);
        break;
    case ikWizard:
        p.setPen(QPen(QColor(120, 80, 30), w / 10, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.15, w * 0.85), QPointF(w * 0.65, w * 0.35));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 200, 0));
        p.drawEllipse(QPointF(w * 0.72, w * 0.28), w * 0.17, w * 0.17);
        break;
    case ikDiscovery:
    case ikScan:
        p.setPen(QPen(Qt::black, w / 10));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QRectF(w * 0.1, w * 0.1, w * 0.55, w * 0.55));
        p.drawLine(QPointF(w * 0.58, w * 0.58), QPointF(w * 0.9, w * 0.9));
        break;
    case ikFilter:
        p.setPen(QPen(Qt::black, w / 16));
        p.setBrush(QColor(120, 170, 230));
        p.drawPolygon(QPolygonF({QPointF(w * 0.1, w * 0.15), QPointF(w * 0.9, w * 0.15), QPointF(w * 0.58, w * 0.55),
                                 QPointF(w * 0.58, w * 0.9), QPointF(w * 0.42, w * 0.8), QPointF(w * 0.42, w * 0.55)}));
        break;
    case ikLogin:
    case ikLogout:
        p.setPen(QPen(Qt::black, w / 12));
        p.setBrush(kind == ikLogin ? QColor(250, 210, 60) : QColor(180, 180, 180));
        p.drawEllipse(QRectF(w * 0.08, w * 0.3, w * 0.4, w * 0.4));
        p.drawLine(QPointF(w * 0.48, w * 0.5), QPointF(w * 0.92, w * 0.5));
        p.drawLine(QPointF(w * 0.8, w * 0.5), QPointF(w * 0.8, w * 0.68));
        if (kind == ikLogout) {
            p.setPen(QPen(QColor(200, 30, 30), w / 10));
            p.drawLine(QPointF(w * 0.1, w * 0.9), QPointF(w * 0.9, w * 0.1));
        }
        break;
    case ikReboot:
        DrawArrow(p, r, QColor(200, 60, 30), true);
        break;
    case ikRefresh:
        DrawArrow(p, r, QColor(30, 140, 60), true);
        break;
    case ikRefreshAll:
        DrawArrow(p, r, QColor(30, 90, 200), true);
        DrawBadge(p, r, QColor(30, 90, 200), true);
        break;
    case ikExit:
        p.setPen(QPen(QColor(200, 30, 30), w / 8, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(w * 0.2, w * 0.2), QPointF(w * 0.8, w * 0.8));
        p.drawLine(QPointF(w * 0.8, w * 0.2), QPointF(w * 0.2, w * 0.8));
        break;
    case ikAbout:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(30, 90, 200));
        p.drawEllipse(r.adjusted(w * 0.08, w * 0.08, -w * 0.08, -w * 0.08));
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(w * 0.5, w * 0.28), w * 0.07, w * 0.07);
        p.drawRect(QRectF(w * 0.43, w * 0.42, w * 0.14, w * 0.36));
        break;
    case ikInternet:
        p.setPen(QPen(QColor(30, 90, 200), w / 14));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(r.adjusted(w * 0.1, w * 0.1, -w * 0.1, -w * 0.1));
        p.drawLine(QPointF(w * 0.1, w * 0.5), QPointF(w * 0.9, w * 0.5));
        p.drawEllipse(QRectF(w * 0.32, w * 0.1, w * 0.36, w * 0.8));
        break;
    case ikOpen:
        p.setPen(QPen(Qt::black, w / 16));
        p.setBrush(QColor(240, 200, 90));
        p.drawRect(QRectF(w * 0.1, w * 0.3, w * 0.8, w * 0.55));
        p.drawRect(QRectF(w * 0.1, w * 0.2, w * 0.35, w * 0.1));
        break;
    case ikSave:
        p.setPen(QPen(Qt::black, w / 16));
        p.setBrush(QColor(60, 90, 160));
        p.drawRect(QRectF(w * 0.12, w * 0.12, w * 0.76, w * 0.76));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(w * 0.28, w * 0.12, w * 0.44, w * 0.28));
        break;
    }
    return pixmap;
}

// Draws a size the first time it is asked for; the window shows mostly 16.
class TDrawnIconEngine : public QIconEngine {
public:
    explicit TDrawnIconEngine(TIconKind kind) : m_Kind(kind) {}

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override
    {
        const int side = std::max(1, std::min(size.width(), size.height()));
        QPixmap& drawn = m_Drawn[side];
        if (drawn.isNull())
            drawn = Draw(m_Kind, side);
        if (mode != QIcon::Disabled)
            return drawn;
        QPixmap& greyed = m_Disabled[side];
        if (greyed.isNull())
            greyed = QIcon(drawn).pixmap(QSize(side, side), QIcon::Disabled);
        return greyed;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override { return {{16, 16}, {24, 24}, {32, 32}}; }
    QIconEngine* clone() const override { return new TDrawnIconEngine(*this); }
    QString key() const override { return QStringLiteral("TDrawnIconEngine"); }

private:
    TIconKind m_Kind;
    QHash<int, QPixmap> m_Drawn;
    QHash<int, QPixmap> m_Disabled;
};

}  // namespace

QIcon ConsoleIcon(TIconKind kind)
{
    // Drawn once per kind: lists ask for the same icon on every row update.
    static QHash<int, QIcon> cache;
    auto found = cache.constFind(int(kind));
    if (found != cache.constEnd())
        return *found;
    if (cache.isEmpty())
        qAddPostRoutine([] { cache.clear(); });  // no pixmap outlives the application
    QIcon icon(new TDrawnIconEngine(kind));
    cache.insert(int(kind), icon);
    return icon;
}
