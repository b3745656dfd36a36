#pragma once

// The bar above the list of a page that needs no current device (the status
// monitor, the syslog events): labelled fields from the left, buttons with
// their glyphs at the right, in one row on the bar's own widget.
//
//   TPageBar bar(m_TPanel);
//   m_Period = bar.Number("Query &Period:", 5, 86400, 10);
//   m_Refresh = bar.Button(m_acRefresh);

#include <QString>

class QAction;
class QCheckBox;
class QHBoxLayout;
class QLabel;
class QObject;
class QPushButton;
class QWidget;
class TNumberBox;

class TPageBar {
public:
    explicit TPageBar(QWidget* bar);

    // A number field (it shows what it holds; out of its limits it is marked).
    TNumberBox* Number(const QString& label, int minimum, int maximum, int value);
    // A caption and the label that shows a value.
    QLabel* Value(const QString& caption, const QString& value);
    // A check box whose box stands after its text.
    QCheckBox* Check(const QString& text);
    QPushButton* Button(const QString& text, const char* glyph);
    // A button that triggers the action and is enabled with it.
    QPushButton* Button(QAction* action);

private:
    void AddField(QWidget* field);

    QWidget* m_Bar;
    QHBoxLayout* m_Row;
    int m_Fields = 0;  // fields stand before the stretch
};

// An action with its glyph, for a bar button and a pop-up menu alike.
QAction* PageAction(const QString& text, const char* glyph, QObject* parent);
