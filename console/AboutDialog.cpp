#include "console/AboutDialog.h"

#include "pages/kit/MessageBox.h"

#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QUrl>
#include <QVBoxLayout>

#ifndef CONSOLE_VERSION
#define CONSOLE_VERSION ""
#endif

namespace {

// Our banner logo: a switch front with a row of lit ports.
QPixmap DrawLogo()
{
    QPixmap pixmap(240, 56);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath body;
    body.addRoundedRect(QRectF(2, 8, 236, 40), 6, 6);
    p.fillPath(body, QColor(0x1f, 0x3a, 0x68));
    for (int i = 0; i < 10; ++i) {
        QRectF port(14 + i * 18, 18, 14, 12);
        p.fillRect(port, QColor(0xe8, 0xec, 0xf2));
        p.fillRect(QRectF(port.left() + 2, port.bottom() + 4, 4, 4), i % 3 ? QColor(0x3c, 0xd0, 0x5a) : QColor(0xff, 0xb0, 0x20));
    }
    p.setPen(QPen(QColor(0xe8, 0xec, 0xf2), 2));
    p.drawLine(QPointF(206, 20), QPointF(226, 20));
    p.drawLine(QPointF(206, 28), QPointF(226, 28));
    p.drawLine(QPointF(206, 36), QPointF(226, 36));
    return pixmap;
}

}  // namespace

TAboutForm::TAboutForm(QWidget* parent, const QString& url)
    : QDialog(parent)
{
    setWindowTitle(tr("About"));

    m_Logo = new QLabel(this);
    m_Logo->setPixmap(DrawLogo());
    m_Logo->setAlignment(Qt::AlignCenter);

    m_ProductName = new QLabel(QGuiApplication::applicationDisplayName(), this);
    QFont title(QStringLiteral("Times New Roman"));
    title.setStyleHint(QFont::Serif);
    title.setPixelSize(24);
    title.setBold(true);
    title.setItalic(true);
    m_ProductName->setFont(title);
    m_ProductName->setAlignment(Qt::AlignCenter);

    m_Version = new QLabel(VersionText(QStringLiteral(CONSOLE_VERSION)), this);
    QFont bold = font();
    bold.setBold(true);
    m_Version->setFont(bold);
    m_Version->setAlignment(Qt::AlignCenter);

    m_Url = new QLabel(url, this);
    QFont link = bold;
    link.setUnderline(true);
    m_Url->setFont(link);
    m_Url->setStyleSheet(QStringLiteral("color: blue"));
    m_Url->setAlignment(Qt::AlignCenter);
    m_Url->setVisible(!url.isEmpty());

    for (QLabel* label : {m_Logo, m_Url}) {
        label->setCursor(Qt::PointingHandCursor);
        label->installEventFilter(this);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(m_Logo);
    layout->addWidget(m_ProductName);
    layout->addWidget(m_Version);
    layout->addWidget(m_Url);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    m_UrlOpener = [](const QUrl& target) { return QDesktopServices::openUrl(target); };
}

QString TAboutForm::VersionText(const QString& version)
{
    const QStringList parts = version.trimmed().split(QLatin1Char('.'));
    if (parts.size() < 1 || parts.size() > 4)
        return tr("(No Version Info)");
    int numbers[4] = {0, 0, 0, 0};
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const uint value = parts[i].toUInt(&ok);
        if (!ok || value > 0xFFFF)
            return tr("(No Version Info)");
        numbers[i] = int(value);
    }
    return tr("Version %1.%2.%3 (build %4)").arg(numbers[0]).arg(numbers[1]).arg(numbers[2]).arg(numbers[3]);
}

bool TAboutForm::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_Logo || watched == m_Url) && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        EventOnUrlClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TAboutForm::EventOnUrlClick()
{
    const QString text = m_Url->text().trimmed();
    if (text.isEmpty() || !m_UrlOpener)
        return;
    OpenWebPage(QUrl::fromUserInput(text), m_UrlOpener);
}
