#include "pages/kit/NotAvailable.h"

#include "pages/kit/NumberBox.h"
#include "pages/kit/PageForm.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTreeView>

namespace {

// What a control showed before the page was not available.
const char* const kAsideProperty = "pageAside";
const char* const kAsidePlaceholder = "pageAsidePlaceholder";
const char* const kAsideEnabled = "pageAsideEnabled";
const QString kNotAvailable = "not available";

// Hides or shows again every row of a list.
void HideRows(QAbstractItemView* view, bool hidden)
{
    const QAbstractItemModel* model = view->model();
    const int rows = model ? model->rowCount() : 0;
    for (int row = 0; row < rows; ++row) {
        if (auto* tree = qobject_cast<QTreeView*>(view))
            tree->setRowHidden(row, QModelIndex(), hidden);
        else if (auto* list = qobject_cast<QListView*>(view))
            list->setRowHidden(row, hidden);
        else if (auto* table = qobject_cast<QTableView*>(view))
            table->setRowHidden(row, hidden);
    }
}

// A combo box's list: left alone.
bool InPopup(const QWidget* view) { return view->window()->windowType() == Qt::Popup; }

// Checks or unchecks a radio button of an exclusive row, quietly.
void SetRadio(QRadioButton* radio, bool checked)
{
    QButtonGroup* group = radio->group();
    const QSignalBlocker quiet(group);
    const bool exclusive = group ? group->exclusive() : radio->autoExclusive();
    if (group)
        group->setExclusive(false);
    else
        radio->setAutoExclusive(false);
    radio->setChecked(checked);
    if (group)
        group->setExclusive(exclusive);
    else
        radio->setAutoExclusive(exclusive);
}

}  // namespace

bool PutAside(QWidget* control)
{
    const QSignalBlocker quiet(control);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        control->setProperty(kAsideProperty, edit->text());
        control->setProperty(kAsidePlaceholder, edit->placeholderText());
        edit->clear();
        edit->setPlaceholderText(kNotAvailable);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
        control->setProperty(kAsideProperty, memo->toPlainText());
        control->setProperty(kAsidePlaceholder, memo->placeholderText());
        memo->clear();
        memo->setPlaceholderText(kNotAvailable);
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        control->setProperty(kAsideProperty, combo->currentIndex());
        control->setProperty(kAsidePlaceholder, combo->placeholderText());
        combo->setPlaceholderText(kNotAvailable);
        combo->setCurrentIndex(-1);
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        control->setProperty(kAsideProperty, int(check->checkState()));
        check->setTristate(true);
        check->setCheckState(Qt::PartiallyChecked);
    } else if (auto* number = qobject_cast<TNumberBox*>(control)) {
        control->setProperty(kAsideProperty, number->IsBlank());
        control->setProperty(kAsidePlaceholder, number->Placeholder());
        number->Blank(kNotAvailable);
    } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        control->setProperty(kAsideProperty, radio->isChecked());
        SetRadio(radio, false);
    } else if (auto* when = qobject_cast<QDateTimeEdit*>(control)) {
        // Its special text shows at its minimum.
        control->setProperty(kAsideProperty, when->dateTime());
        control->setProperty(kAsidePlaceholder, when->specialValueText());
        when->setSpecialValueText(kNotAvailable);
        when->setDateTime(when->minimumDateTime());
    } else if (auto* value = qobject_cast<QLabel*>(control); value && TPageForm::LabelOf(value)) {
        // A labelled value, not a caption.
        control->setProperty(kAsideProperty, value->text());
        value->setText(kNotAvailable);
    } else if (auto* view = qobject_cast<QAbstractItemView*>(control); view && !InPopup(view)) {
        // The rows are no switch's.
        HideRows(view, true);
    } else if (!qobject_cast<QAbstractButton*>(control) && !qobject_cast<QAbstractSpinBox*>(control) &&
               !qobject_cast<QAbstractItemView*>(control) && !qobject_cast<QLabel*>(control)) {
        return false;
    }
    control->setProperty(kAsideEnabled, !control->testAttribute(Qt::WA_ForceDisabled));
    control->setEnabled(false);
    return true;
}

void TakeBack(QWidget* control)
{
    const QSignalBlocker quiet(control);
    const QVariant aside = control->property(kAsideProperty);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setPlaceholderText(control->property(kAsidePlaceholder).toString());
        edit->setText(aside.toString());
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
        memo->setPlaceholderText(control->property(kAsidePlaceholder).toString());
        memo->setPlainText(aside.toString());
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        combo->setPlaceholderText(control->property(kAsidePlaceholder).toString());
        combo->setCurrentIndex(aside.toInt());
    } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
        check->setTristate(false);
        check->setCheckState(Qt::CheckState(aside.toInt()));
    } else if (auto* number = qobject_cast<TNumberBox*>(control)) {
        if (aside.toBool())
            number->Blank(control->property(kAsidePlaceholder).toString());
        else
            number->Unblank();
    } else if (auto* radio = qobject_cast<QRadioButton*>(control)) {
        if (aside.toBool())
            SetRadio(radio, true);
    } else if (auto* when = qobject_cast<QDateTimeEdit*>(control)) {
        when->setSpecialValueText(control->property(kAsidePlaceholder).toString());
        when->setDateTime(aside.toDateTime());
    } else if (auto* value = qobject_cast<QLabel*>(control); value && aside.isValid()) {
        value->setText(aside.toString());
    } else if (auto* view = qobject_cast<QAbstractItemView*>(control); view && !InPopup(view)) {
        HideRows(view, false);
    }
    control->setEnabled(control->property(kAsideEnabled).toBool());
    control->setProperty(kAsideProperty, QVariant());
}
