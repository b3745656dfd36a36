#pragma once

// The drawn parts of the model banners: the front-panel picture with one
// socket per port, and the square status lamps.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <vector>

// Lamp and socket states.
enum TPortState { psUnknown = 0, psLinkDown = 1, psLinkUp = 2 };
enum TLampState { lsNone = -1, lsUnknown = 0, lsGood = 1, lsError = 2 };

// Socket colours: silver (no such port, not known), black (link down),
// green (link up). Lamp colours: silver, dark green (good), red (error).
QColor PortColour(int state);
QColor LampColour(int state);

// Background of the front-panel pictures; the sockets are drawn on it.
inline constexpr QRgb PanelBackground = qRgb(213, 223, 199);
// Width of one socket column in the pictures.
inline constexpr int SocketPitch = 34;

// How a model's front panel is laid out.
struct TPanelLayout {
    QSize picture;          // empty: the model has no picture
    int rows = 0;           // 1 or 2 rows of sockets
    int columns = 0;        // sockets drawn per row
    bool lowerFlipped = false;  // the lower row is drawn upside down
    int socketCount = 0;    // positions the ports are drawn to
};

// Paints, from seed, every 4-connected pixel that differs from the colour of
// the image's top-left pixel with the fill colour. A seed outside the image
// or on that colour paints nothing.
void FloodFillFromCorner(QImage& image, QPoint seed, QColor fill);

// The front-panel picture with its port numbers: numbers above the sockets
// of a single row; for two rows, odd ports above and even ports below, the
// ports counted down each column.
class TFrontPanelView : public QWidget {
    Q_OBJECT

public:
    TFrontPanelView(const TPanelLayout& layout, QWidget* parent = nullptr);

    // The point inside the socket of port i (0-based) that its fill starts
    // from, in picture coordinates; it may lie outside the picture.
    QPoint FillPoint(int port) const;
    // Repaints the socket of port i in the colour of the state.
    void DrawPort(int port, int state);

    const QImage& Picture() const { return m_Picture; }
    // The picture's top-left corner in the widget.
    QPoint PictureOrigin() const { return m_Origin; }
    const TPanelLayout& Layout() const { return m_Layout; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void DrawSockets();
    // Column and row of a drawn socket position.
    QPoint SocketCell(int port) const;

    TPanelLayout m_Layout;
    QImage m_Picture;
    QPoint m_Origin;
    int m_Strip = 0;  // height of a number strip
};

// One 16 x 16 status lamp; no colour until its first state.
class TStatusLamp : public QWidget {
    Q_OBJECT

public:
    explicit TStatusLamp(QWidget* parent = nullptr);

    void SetState(int state);
    int State() const { return m_State; }

    QSize sizeHint() const override { return QSize(16, 16); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_State = lsNone;
};
