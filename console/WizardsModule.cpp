#include "console/WizardsModule.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <cmath>

const char* const TWizardFrame::kGroupIpPath = "Wizards/Group IP Setting";
const char* const TWizardFrame::kGroupFwPath = "Wizards/Group Firmware Update";

// Our 96x96 wizard picture: a wand with a star.
QPixmap DrawWizardLogo()
{
    QPixmap pixmap(96, 96);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x40, 0x30, 0x20), 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(18, 82), QPointF(56, 44));
    p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(50, 50), QPointF(56, 44));
    QPainterPath star;
    const QPointF centre(68, 30);
    for (int i = 0; i < 10; ++i) {
        const double radius = i % 2 ? 9.0 : 22.0;
        const double angle = -M_PI / 2 + i * M_PI / 5;
        const QPointF point(centre.x() + radius * std::cos(angle), centre.y() + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    p.setPen(QPen(QColor(0xc0, 0x80, 0x00), 2));
    p.setBrush(QColor(0xff, 0xd0, 0x30));
    p.drawPath(star);
    return pixmap;
}

TWizardFrame::TWizardFrame(QWidget* parent)
    : TStaticPage(parent)
{
    setMinimumWidth(540);

    // Bold navy headings, centred.
    auto heading = [this](const QString& text, int pixels) {
        auto* label = new QLabel(text, this);
        QFont bold = font();
        bold.setBold(true);
        bold.setPixelSize(pixels);
        label->setFont(bold);
        label->setStyleSheet(QStringLiteral("color: navy"));
        label->setAlignment(Qt::AlignCenter);
        return label;
    };
    m_Title = heading(tr("Welcome to Wizard Center"), 32);
    m_Description = heading(tr("Please select a wizard you need"), 21);

    m_Logo = new QLabel(this);
    m_Logo->setPixmap(DrawWizardLogo());

    m_GroupIp = new QPushButton(tr("Group IP Setting Wizard"), this);
    m_GroupFw = new QPushButton(tr("Group Firmware Update Wizard"), this);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_GroupIp);
    buttons->addWidget(m_GroupFw);
    buttons->addStretch(1);
    auto* body = new QHBoxLayout;
    body->addStretch(1);
    body->addWidget(m_Logo);
    body->addSpacing(24);
    body->addLayout(buttons);
    body->addStretch(1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Title);
    layout->addWidget(m_Description);
    layout->addSpacing(16);
    layout->addLayout(body);
    layout->addStretch(1);

    connect(m_GroupIp, &QPushButton::clicked, this, &TWizardFrame::EventOnGroupIpClick);
    connect(m_GroupFw, &QPushButton::clicked, this, &TWizardFrame::EventOnGroupFwClick);
}

QString TWizardFrame::GetCaption() const
{
    return tr("Wizards");
}

void TWizardFrame::EventOnGroupIpClick()
{
    if (g_ModuleCallback)
        g_ModuleCallback->SelectPage(QString::fromLatin1(kGroupIpPath));
}

void TWizardFrame::EventOnGroupFwClick()
{
    if (g_ModuleCallback)
        g_ModuleCallback->SelectPage(QString::fromLatin1(kGroupFwPath));
}
