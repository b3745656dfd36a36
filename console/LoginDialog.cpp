#include "console/LoginDialog.h"

#include "pages/kit/PageWidgets.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TLoginForm::TLoginForm(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("Login"));

    auto* group = new QGroupBox(this);
    auto* form = new QFormLayout(group);
    m_Username = new QLineEdit(group);
    m_Password = new QLineEdit(group);
    MakeLoginField(m_Username);
    MakeLoginField(m_Password);
    m_Password->setEchoMode(QLineEdit::Password);
    form->addRow(tr("&Username:"), m_Username);
    form->addRow(tr("&Password:"), m_Password);

    m_Cancel = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), tr("&Cancel"), this);
    m_Login = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), tr("&Login"), this);
    m_Login->setDefault(true);
    m_Cancel->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_Login, QDialogButtonBox::AcceptRole);
    buttons->addButton(m_Cancel, QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_Username, &QLineEdit::textChanged, this, &TLoginForm::EventOnUsernameChange);
    connect(m_Password, &QLineEdit::textChanged, this, &TLoginForm::EventOnUsernameChange);
}

void TLoginForm::EventOnUsernameChange()
{
    m_Login->setEnabled(!m_Username->text().isEmpty());
}

bool TLoginForm::AskCredentials(QString& user, QString& password)
{
    m_Username->setFocus();
    if (exec() != QDialog::Accepted)
        return false;
    user = m_Username->text();
    password = m_Password->text();
    return true;
}
