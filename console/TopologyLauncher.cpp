#include "console/TopologyLauncher.h"

#include "pages/kit/MessageBox.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TJavaTopologyFrame::TJavaTopologyFrame(QWidget* parent, const QString& jarPath)
    : TStaticPage(parent)
    , m_JarPath(jarPath)
{
    if (m_JarPath.isEmpty())
        m_JarPath = QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("TopologyView.jar"));

    m_Open = new QPushButton(style()->standardIcon(QStyle::SP_DialogOpenButton), tr("&Open"), this);
    m_Open->setDefault(true);
    auto* row = new QHBoxLayout;
    row->addWidget(m_Open);
    row->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addStretch(1);

    m_Starter = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
    connect(m_Open, &QPushButton::clicked, this, &TJavaTopologyFrame::EventOnOpenClick);
}

QString TJavaTopologyFrame::GetCaption() const
{
    return tr("Devices Topology");
}

void TJavaTopologyFrame::EventOnOpenClick()
{
    if (!QFileInfo(m_JarPath).isFile()) {
        ShowMessageBox(QMessageBox::Warning,
                       tr("The topology viewer was not found:\n%1").arg(QDir::toNativeSeparators(m_JarPath)));
        return;
    }
    if (!m_Starter || !m_Starter(QStringLiteral("java"), {QStringLiteral("-jar"), m_JarPath}))
        ShowMessageBox(QMessageBox::Warning,
                       tr("Cannot start the Java runtime (\"java\"). Install Java to view the devices topology."));
}
