#pragma once

// "Devices Topology": starts the outside topology viewer, a Java program.

#include "pages/kit/PageInterface.h"

#include <QStringList>
#include <QWidget>

#include <functional>

class QPushButton;

class TJavaTopologyFrame : public TStaticPage<QWidget> {
    Q_OBJECT

public:
    // Starts program with arguments, detached; false when it could not start.
    using TStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

    // jarPath: the viewer; empty means "TopologyView.jar" beside the program.
    explicit TJavaTopologyFrame(QWidget* parent = nullptr, const QString& jarPath = QString());

    QString GetCaption() const override;

    QString JarPath() const { return m_JarPath; }
    void SetStarter(TStarter starter) { m_Starter = std::move(starter); }
    QPushButton* OpenButton() const { return m_Open; }

private slots:
    void EventOnOpenClick();

private:
    QPushButton* m_Open = nullptr;
    QString m_JarPath;
    TStarter m_Starter;
};
