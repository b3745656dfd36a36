#pragma once

// The form builder of the device pages: labelled fields, lists, editor
// panels and a button row, arranged top to bottom in Qt layouts. Every
// label is its field's buddy; every field, label and button made here needs
// a current device (the page enables it on each refill) unless made after
// NeedsDevice(false).
//
//   TPageForm form(this);
//   m_Mode = form.Choice("&Mode:", {"Disable", "Enable"});
//   m_Address = form.Ip("Server IP &Address:");
//   m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);

#include "pages/kit/NumberBox.h"

#include <QString>
#include <QStringList>

#include <initializer_list>
#include <utility>

class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;
class TIpEdit;
class TMacEdit;
class TModulePage;

// Enter or Return that a field of page leaves unused (a line edit, a spin
// box, a list; not a memo) presses the page's default button while it is
// shown and enabled, as in a dialog. Every page gets it from its base.
void PressDefaultOnEnter(QWidget* page);

class TPageForm {
public:
    // Lays the page out top to bottom; the page's margins stay.
    explicit TPageForm(TModulePage* page);

    // Whether what is made from now on needs a current device (default true).
    void NeedsDevice(bool needs) { m_NeedsDevice = needs; }

    // --- Labelled fields, in a grid of label and field.
    QComboBox* Choice(const QString& label, const QStringList& items);
    // A number field that takes minimum to maximum (NumberBox.h). A note
    // after the number (its unit, what 0 means, "(1~4094)") follows its enabling.
    TNumberBox* Number(const QString& label, long long minimum, long long maximum, const QString& note = QString());
    // maxLength 0: no limit.
    QLineEdit* Text(const QString& label, int maxLength = 0);
    QLineEdit* Password(const QString& label, int maxLength);
    TIpEdit* Ip(const QString& label);
    TMacEdit* Mac(const QString& label);
    QCheckBox* Check(const QString& text);
    // A group of radio buttons in one row; the item index is the button id.
    QButtonGroup* Radios(const QString& label, const QStringList& items);
    // A multi-line text with a note under it.
    QPlainTextEdit* Memo(const QString& label, const QString& note = QString());
    // Any widget as a labelled field (the page parents it).
    QWidget* Field(const QString& label, QWidget* field);
    // Labelled fields from now on fill count side-by-side columns of the grid,
    // row by row (a long form leaves its list the height).
    void FieldColumns(int count);
    // A bold heading across both columns of the grid (a section of fields).
    QLabel* Heading(const QString& text);
    // A note after a field made here, in its row; enabled with the field.
    QLabel* Note(QWidget* field, const QString& note);
    // The label of a field made here, or null.
    static QLabel* LabelOf(const QWidget* field);
    // Enables a field with its label (and its note).
    static void SetFieldEnabled(QWidget* field, bool enabled);
    static void SetFieldsEnabled(std::initializer_list<QWidget*> fields, bool enabled);

    // --- A list under its title (its buddy); the list takes the spare height.
    QWidget* List(const QString& title, QWidget* list, bool boldTitle = false);
    // A labelled editor in the rows of editors under the last list (a row
    // that would grow too wide for a narrow window breaks); the list that
    // binds it enables it and its label with the selection.
    template <class W> W* PanelEditor(const QString& label, W* editor)
    {
        AddPanelEditor(label, editor);
        return editor;
    }
    // A note after a panel editor made here (its range, its unit).
    QLabel* PanelNote(QWidget* editor, const QString& note);

    // --- A panel the page lays out itself, across the form's width; a
    // stretch above 0 gives it a share of the spare height.
    QWidget* Section(QWidget* panel, int stretch = 0);

    // --- The button row at the bottom, right-aligned; one default button,
    // which Enter in a field of the page presses (see PressDefaultOnEnter)
    // and which stays off while a number field is out of range (GateOnNumbers).
    QPushButton* Button(const QString& text, const char* glyph = nullptr, bool isDefault = false);
    // The panel that holds the button row.
    QWidget* ButtonPanel();

    // Controls of the form that need a current device.
    void Register(QWidget* control);

    // Keeps what is made so far at the top: the spare height goes below it.
    void KeepAtTop();

private:
    QGridLayout* Grid();
    QBoxLayout* Panel();
    QBoxLayout* Buttons();
    template <class W> W* Labelled(const QString& label, W* field)
    {
        AddField(label, field);
        return field;
    }
    void AddField(const QString& label, QWidget* field);
    // A label that is field's buddy and that LabelOf finds.
    QLabel* Caption(const QString& text, QWidget* field);
    // What is made next starts a new grid or editor panel.
    void EndArrangement();
    void AddPanelEditor(const QString& label, QWidget* editor);
    // Editors from now on go in a new row under the last.
    void NextPanelRow();

    TModulePage* m_Page;
    QBoxLayout* m_Layout;
    QGridLayout* m_Grid = nullptr;
    QBoxLayout* m_Panel = nullptr;  // the editor row being filled
    QBoxLayout* m_PanelRows = nullptr;
    int m_PanelRowWidth = 0;
    QBoxLayout* m_Buttons = nullptr;
    QWidget* m_ButtonPanel = nullptr;
    bool m_NeedsDevice = true;
    int m_FieldColumns = 1;
    int m_FieldsInRow = 0;
};
