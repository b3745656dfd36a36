#include "pages/system/BannerPanel.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

QColor PortColour(int state)
{
    switch (state) {
    case psLinkDown:
        return QColor(0, 0, 0);
    case psLinkUp:
        return QColor(0, 255, 0);
    default:
        return QColor(192, 192, 192);
    }
}

QColor LampColour(int state)
{
    switch (state) {
    case lsGood:
        return QColor(0, 128, 0);
    case lsError:
        return QColor(255, 0, 0);
    default:
        return QColor(192, 192, 192);
    }
}

void FloodFillFromCorner(QImage& image, QPoint seed, QColor fill)
{
    if (image.isNull() || !image.rect().contains(seed))
        return;
    if (image.format() != QImage::Format_RGB32)
        image = image.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const QRgb border = image.pixel(0, 0);
    const QRgb colour = fill.rgb();
    auto at = [&](int x, int y) -> QRgb& { return reinterpret_cast<QRgb*>(image.scanLine(y))[x]; };
    if (at(seed.x(), seed.y()) == border)
        return;

    // Scanline fill; the seen map keeps a fill whose colour is already there
    // from running for ever.
    std::vector<bool> seen(std::size_t(width) * std::size_t(height), false);
    auto open = [&](int x, int y) { return !seen[std::size_t(y) * std::size_t(width) + std::size_t(x)] && at(x, y) != border; };
    std::vector<QPoint> stack{seed};
    while (!stack.empty()) {
        QPoint p = stack.back();
        stack.pop_back();
        int y = p.y();
        if (!open(p.x(), y))
            continue;
        int left = p.x();
        while (left > 0 && open(left - 1, y))
            --left;
        int right = p.x();
        while (right + 1 < width && open(right + 1, y))
            ++right;
        for (int x = left; x <= right; ++x) {
            at(x, y) = colour;
            seen[std::size_t(y) * std::size_t(width) + std::size_t(x)] = true;
        }
        for (int ny : {y - 1, y + 1}) {
            if (ny < 0 || ny >= height)
                continue;
            bool inSpan = false;
            for (int x = left; x <= right; ++x) {
                bool o = open(x, ny);
                if (o && !inSpan)
                    stack.emplace_back(x, ny);
                inSpan = o;
            }
        }
    }
}

namespace {

// Socket shape: a body with a latch tab on one long side and eight contacts
// on the other. One-row pictures have wider sockets than two-row ones.
struct TSocketShape {
    int left;   // x of the body's left edge
    int width;  // body width
    int middle; // y of the body's middle
    bool flipped;
};

constexpr int BodyHalfHeight = 9;
constexpr int TabWidth = 12;
constexpr int TabHeight = 4;
constexpr int Contacts = 8;

const QColor LabelColour(52, 64, 48);
const QColor EdgeColour(120, 132, 112);

void DrawSocket(QPainter& p, const TSocketShape& s)
{
    const QColor black(0, 0, 0);
    const QColor background = QColor::fromRgb(PanelBackground);
    const int top = s.middle - BodyHalfHeight;
    const int bottom = s.middle + BodyHalfHeight;
    p.fillRect(QRect(QPoint(s.left, top), QPoint(s.left + s.width - 1, bottom)), black);
    const int tabLeft = s.left + (s.width - TabWidth) / 2;
    if (s.flipped)
        p.fillRect(QRect(tabLeft, top - TabHeight, TabWidth, TabHeight), black);
    else
        p.fillRect(QRect(tabLeft, bottom + 1, TabWidth, TabHeight), black);
    // Contacts in the background colour: islands the fill goes around.
    const int firstContact = s.left + (s.width - (2 * Contacts - 1)) / 2;
    const int contactTop = s.flipped ? s.middle + 4 : s.middle - 7;
    for (int k = 0; k < Contacts; ++k)
        p.fillRect(QRect(firstContact + 2 * k, contactTop, 1, 4), background);
}

}  // namespace

TFrontPanelView::TFrontPanelView(const TPanelLayout& layout, QWidget* parent) : QWidget(parent), m_Layout(layout)
{
    m_Layout.rows = std::clamp(m_Layout.rows, 1, 2);
    m_Layout.columns = std::max(0, m_Layout.columns);
    m_Layout.socketCount = std::max(0, m_Layout.socketCount);
    // Port numbers in a small font keep two rows within the banner's height.
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
    m_Strip = std::max(m_Layout.rows == 1 ? 14 : 12, QFontMetrics(small).height());
    m_Origin = QPoint(0, m_Strip);
    m_Picture = QImage(m_Layout.picture.isEmpty() ? QSize(1, 1) : m_Layout.picture, QImage::Format_RGB32);
    DrawSockets();
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize TFrontPanelView::sizeHint() const
{
    int strips = m_Layout.rows == 2 ? 2 : 1;
    return QSize(m_Picture.width(), m_Picture.height() + strips * m_Strip);
}

QPoint TFrontPanelView::SocketCell(int port) const
{
    if (m_Layout.rows == 2)
        return QPoint(port / 2, port % 2);
    return QPoint(port, 0);
}

QPoint TFrontPanelView::FillPoint(int port) const
{
    QPoint cell = SocketCell(port);
    if (m_Layout.rows == 2)
        return QPoint(SocketPitch * cell.x() + 5, 32 * cell.y() + 16);
    return QPoint(SocketPitch * cell.x() + 2, 16);
}

void TFrontPanelView::DrawSockets()
{
    m_Picture.fill(PanelBackground);
    QPainter p(&m_Picture);
    p.setRenderHint(QPainter::Antialiasing, false);
    const bool twoRows = m_Layout.rows == 2;
    for (int row = 0; row < m_Layout.rows; ++row) {
        for (int column = 0; column < m_Layout.columns; ++column) {
            QPoint fill = FillPoint(twoRows ? 2 * column + row : column);
            TSocketShape shape{fill.x(), twoRows ? 28 : 30, fill.y(), row == 1 && m_Layout.lowerFlipped};
            DrawSocket(p, shape);
        }
    }
}

void TFrontPanelView::DrawPort(int port, int state)
{
    if (port < 0)
        return;
    FloodFillFromCorner(m_Picture, FillPoint(port), PortColour(state));
    update();
}

void TFrontPanelView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), QColor::fromRgb(PanelBackground));
    p.setPen(EdgeColour);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (m_Layout.picture.isEmpty())
        return;
    p.drawImage(m_Origin, m_Picture);

    // Port numbers over (and, for two rows, under) the socket columns.
    p.setPen(LabelColour);
    const bool twoRows = m_Layout.rows == 2;
    const int bodyWidth = twoRows ? 28 : 30;
    for (int row = 0; row < m_Layout.rows; ++row) {
        for (int column = 0; column < m_Layout.columns; ++column) {
            int port = twoRows ? 2 * column + row : column;
            QPoint fill = FillPoint(port);
            QRect cell(fill.x() - 4, row == 0 ? 0 : m_Origin.y() + m_Picture.height(), bodyWidth + 8, m_Strip);
            p.drawText(cell, Qt::AlignCenter, QString::number(port + 1));
        }
    }
}

TStatusLamp::TStatusLamp(QWidget* parent) : QWidget(parent)
{
    setFixedSize(16, 16);
}

void TStatusLamp::SetState(int state)
{
    m_State = std::clamp(state, int(lsUnknown), int(lsError));
    update();
}

void TStatusLamp::paintEvent(QPaintEvent*)
{
    if (m_State == lsNone)
        return;
    QPainter p(this);
    p.fillRect(rect(), LampColour(m_State));
}
