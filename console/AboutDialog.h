#pragma once

// "About": product name, version and the maker's web address.

#include <QDialog>

#include <functional>

class QLabel;
class QUrl;

class TAboutForm : public QDialog {
    Q_OBJECT

public:
    using TUrlOpener = std::function<bool(const QUrl&)>;

    // url: the maker's web address; empty hides the link.
    explicit TAboutForm(QWidget* parent = nullptr, const QString& url = QString());

    // "Version a.b.c (build d)" of a version text "a.b.c[.d]"; "(No Version
    // Info)" when it can't be read.
    static QString VersionText(const QString& version);

    // Replaces the browser launch (tests).
    void SetUrlOpener(TUrlOpener opener) { m_UrlOpener = std::move(opener); }

    QLabel* ProductLabel() const { return m_ProductName; }
    QLabel* VersionLabel() const { return m_Version; }
    QLabel* UrlLabel() const { return m_Url; }
    QLabel* LogoLabel() const { return m_Logo; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void EventOnUrlClick();

    QLabel* m_Logo = nullptr;
    QLabel* m_ProductName = nullptr;
    QLabel* m_Version = nullptr;
    QLabel* m_Url = nullptr;
    TUrlOpener m_UrlOpener;
};
