#pragma once

// "Wizards": the page above the two group wizards, with a button for each.

#include "pages/kit/PageInterface.h"

#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

// The 96 x 96 picture of the wizards.
QPixmap DrawWizardLogo();

class TWizardFrame : public TStaticPage<QWidget> {
    Q_OBJECT

public:
    static const char* const kGroupIpPath;
    static const char* const kGroupFwPath;

    explicit TWizardFrame(QWidget* parent = nullptr);

    QString GetCaption() const override;

    QPushButton* GroupIpButton() const { return m_GroupIp; }
    QPushButton* GroupFwButton() const { return m_GroupFw; }

private slots:
    void EventOnGroupIpClick();
    void EventOnGroupFwClick();

private:
    QLabel* m_Title = nullptr;
    QLabel* m_Description = nullptr;
    QLabel* m_Logo = nullptr;
    QPushButton* m_GroupIp = nullptr;
    QPushButton* m_GroupFw = nullptr;
};
