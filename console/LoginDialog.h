#pragma once

// "Login": asks for the user name and password of the switches.

#include <QDialog>

class QLineEdit;
class QPushButton;

class TLoginForm : public QDialog {
    Q_OBJECT

public:
    explicit TLoginForm(QWidget* parent = nullptr);

    // Shows the dialog modally; true and the two texts on Login. The texts
    // stay in the edits for the next use.
    bool AskCredentials(QString& user, QString& password);

    QLineEdit* UsernameEdit() const { return m_Username; }
    QLineEdit* PasswordEdit() const { return m_Password; }
    QPushButton* LoginButton() const { return m_Login; }
    QPushButton* CancelButton() const { return m_Cancel; }

private slots:
    void EventOnUsernameChange();

private:
    QLineEdit* m_Username = nullptr;
    QLineEdit* m_Password = nullptr;
    QPushButton* m_Cancel = nullptr;
    QPushButton* m_Login = nullptr;
};
