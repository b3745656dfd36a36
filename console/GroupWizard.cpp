#include "console/GroupWizard.h"

#include "console/WizardsModule.h"
#include "pages/kit/UntypedReportList.h"
#include "pages/kit/PageWidgets.h"
#include "console/GroupPlan.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel* StepTitle(const QString& text, QWidget* parent)
{
    QLabel* label = BoldLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

TUntypedReportList* DeviceList(const QStringList& columns, QWidget* parent)
{
    auto* view = new TUntypedReportList(parent);
    for (const QString& column : columns)
        view->AddColumn(column);
    view->Model()->SetSortMode(smNone);
    view->header()->setSectionsClickable(false);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return view;
}

}  // namespace

// ---------------------------------------------------------------------------
// TDevicePicker

TDevicePicker::TDevicePicker(const QStringList& columns, QWidget* parent) : QWidget(parent)
{
    m_Step1ToSelect = DeviceList(columns, this);
    m_Step1Selected = DeviceList(columns, this);
    m_Step1Select = new QPushButton(">", this);
    m_Step1SelectAll = new QPushButton(">>", this);
    m_Step1Unselect = new QPushButton("<", this);
    m_Step1UnselectAll = new QPushButton("<<", this);
    m_Step1Select->setToolTip(tr("Add the selected devices"));
    m_Step1SelectAll->setToolTip(tr("Add every device"));
    m_Step1Unselect->setToolTip(tr("Remove the selected devices"));
    m_Step1UnselectAll->setToolTip(tr("Remove every device"));

    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    for (QPushButton* button : {m_Step1Select, m_Step1SelectAll, m_Step1Unselect, m_Step1UnselectAll})
        buttons->addWidget(button);
    buttons->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Step1ToSelect, 1);
    layout->addLayout(buttons);
    layout->addWidget(m_Step1Selected, 1);

    connect(m_Step1Select, &QPushButton::clicked, this, [this] { EventOnSelectClick(); });
    connect(m_Step1SelectAll, &QPushButton::clicked, this, [this] { EventOnSelectAllClick(); });
    connect(m_Step1Unselect, &QPushButton::clicked, this, [this] { EventOnUnselectClick(); });
    connect(m_Step1UnselectAll, &QPushButton::clicked, this, [this] { EventOnUnselectAllClick(); });
    for (TUntypedReportList* view : {m_Step1ToSelect, m_Step1Selected})
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { UpdateButtons(); });
    UpdateButtons();
}

void TDevicePicker::SetDevices(TWizardDevices devices)
{
    m_Left = std::move(devices);
    m_Right.clear();
    ShowRows(m_Step1ToSelect, m_Left);
    ShowRows(m_Step1Selected, m_Right);
    UpdateButtons();
    emit SelectedChanged();
}

void TDevicePicker::SetSelectedCell(const Intp::TMacAddr& mac, int column, const QString& text)
{
    for (std::size_t row = 0; row < m_Right.size(); ++row) {
        if (m_Right[row].mac != mac || column < 0 || column >= m_Right[row].cells.size())
            continue;
        m_Right[row].cells[column] = text;
        m_Step1Selected->Model()->SetCell(int(row), column, text);
    }
}

void TDevicePicker::ShowRows(TUntypedReportList* view, const TWizardDevices& rows)
{
    view->Clear();
    for (const TWizardDevice& row : rows)
        view->Model()->AddRow(row.cells);
}

std::vector<int> TDevicePicker::SelectedRows(const TUntypedReportList* view)
{
    std::vector<int> rows;
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void TDevicePicker::Move(bool toRight)
{
    TUntypedReportList* from = toRight ? m_Step1ToSelect : m_Step1Selected;
    TUntypedReportList* to = toRight ? m_Step1Selected : m_Step1ToSelect;
    TWizardDevices& source = toRight ? m_Left : m_Right;
    TWizardDevices& destination = toRight ? m_Right : m_Left;
    const std::vector<int> selected = SelectedRows(from);
    if (selected.empty())
        return;
    if (toRight && m_Check) {
        TWizardDevices moving;
        for (int row : selected)
            moving.push_back(source[std::size_t(row)]);
        if (!m_Check(m_Right, moving))
            return;
    }
    const std::vector<int> moved = MoveSelectedRows(source, destination, selected);
    ShowRows(from, source);
    ShowRows(to, destination);
    QItemSelection selection;
    for (int row : moved)
        selection.select(to->Model()->index(row, 0), to->Model()->index(row, to->Model()->ColumnCount() - 1));
    to->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    UpdateButtons();
    emit SelectedChanged();
}

void TDevicePicker::EventOnSelectClick() { Move(true); }

void TDevicePicker::EventOnUnselectClick() { Move(false); }

void TDevicePicker::EventOnSelectAllClick()
{
    m_Step1ToSelect->selectAll();
    if (m_Step1Select->isEnabled())
        Move(true);
}

void TDevicePicker::EventOnUnselectAllClick()
{
    m_Step1Selected->selectAll();
    if (m_Step1Unselect->isEnabled())
        Move(false);
}

void TDevicePicker::UpdateButtons()
{
    m_Step1Select->setEnabled(m_Step1ToSelect->selectionModel()->hasSelection());
    m_Step1Unselect->setEnabled(m_Step1Selected->selectionModel()->hasSelection());
    m_Step1SelectAll->setEnabled(!m_Left.empty());
    m_Step1UnselectAll->setEnabled(!m_Right.empty());
}

// ---------------------------------------------------------------------------
// TGroupWizardFrame

TGroupWizardFrame::TGroupWizardFrame(const QString& title, const QStringList& introduction, const QString& step2Title,
                                     const QStringList& columns, QWidget* parent)
    : QWidget(parent)
{
    auto* heading = new QLabel(title, this);
    QFont big = heading->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.5);
    heading->setFont(big);
    heading->setStyleSheet(QStringLiteral("color: navy"));

    auto* logo = new QLabel(this);
    logo->setPixmap(DrawWizardLogo());
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_Steps = new QStackedWidget(this);

    auto* step0 = new QWidget(m_Steps);
    auto* description = new QLabel(introduction.join("\n\n"), step0);
    description->setWordWrap(true);
    description->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    description->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* step0Layout = new QVBoxLayout(step0);
    step0Layout->addWidget(description);
    step0Layout->addStretch(1);
    m_Steps->addWidget(step0);

    auto* step1 = new QWidget(m_Steps);
    m_Picker = new TDevicePicker(columns, step1);
    auto* step1Layout = new QVBoxLayout(step1);
    step1Layout->addWidget(StepTitle(tr("Select one or more devices to be configured."), step1));
    step1Layout->addWidget(m_Picker, 1);
    m_Steps->addWidget(step1);

    auto* step2 = new QWidget(m_Steps);
    auto* step2Layout = new QVBoxLayout(step2);
    step2Layout->addWidget(StepTitle(step2Title, step2));
    m_Steps->addWidget(step2);

    m_Prev = new QPushButton(tr("&Prev"), this);
    LoadGlyph(m_Prev, "RC_BITMAP_16X16_PREVIOUS");
    m_Next = new QPushButton(tr("&Next"), this);
    LoadGlyph(m_Next, "RC_BITMAP_16X16_NEXT");
    m_Next->setDefault(true);

    auto* body = new QHBoxLayout;
    body->addWidget(logo);
    body->addWidget(m_Steps, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_Prev);
    buttons->addWidget(m_Next);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    connect(m_Prev, &QPushButton::clicked, this, [this] { EventOnPrevClick(); });
    connect(m_Next, &QPushButton::clicked, this, [this] { EventOnNextClick(); });
    connect(m_Picker, &TDevicePicker::SelectedChanged, this, [this] { UpdateButtons(); });
    SetToolTipReason(m_Next, [this] {
        if (m_Next->isEnabled())
            return QString();
        if (m_Step == 1)
            return tr("Move one or more devices to the list on the right.");
        return IsRunning() ? tr("The wizard waits until every device has its result.") : WhyNoStart();
    });
    ShowStep(0);
}

TModuleCallback* TGroupWizardFrame::Host() const { return m_Host ? m_Host : g_ModuleCallback; }

TDeviceList TGroupWizardFrame::ListedDevices() const
{
    TDeviceList listed;
    if (TModuleCallback* host = Host())
        host->GetListedDevices(listed);
    return listed;
}

void TGroupWizardFrame::SetStep2Panel(QWidget* panel)
{
    m_Step2Panel = panel;
    QWidget* step2 = m_Steps->widget(2);
    panel->setParent(step2);
    step2->layout()->addWidget(panel);
}

bool TGroupWizardFrame::Leave(bool force)
{
    if (!force && m_Step == 2 && IsRunning())
        return false;
    for (int i = 0; i < 2 && m_Step > 0; ++i)
        ShowStep(m_Step - 1);
    hide();
    return true;
}

void TGroupWizardFrame::EventOnPrevClick()
{
    if (m_Step > 0 && !(m_Step == 2 && IsRunning()))
        ShowStep(m_Step - 1);
}

void TGroupWizardFrame::EventOnNextClick()
{
    switch (m_Step) {
    case 0: {
        m_Picker->SetDevices(Step1Devices());
        ShowStep(1);
        break;
    }
    case 1:
        if (m_Picker->Selected().empty())
            return;
        EnterStep2(m_Picker->Selected());
        ShowStep(2);
        break;
    default:
        // The button as the user saw it: a start whose input went since
        // (an image file deleted) fails row by row instead of doing nothing.
        if (!IsRunning() && m_Next->isEnabled())
            Start();
        UpdateButtons();
        break;
    }
}

void TGroupWizardFrame::ShowStep(int step)
{
    m_Step = step;
    m_Steps->setCurrentIndex(step);
    m_Next->setText(step == 2 ? StartText() : tr("&Next"));
    UpdateButtons();
}

void TGroupWizardFrame::UpdateButtons()
{
    const bool running = m_Step == 2 && IsRunning();
    m_Prev->setEnabled(m_Step > 0 && !running);
    switch (m_Step) {
    case 0: m_Next->setEnabled(true); break;
    case 1: m_Next->setEnabled(!m_Picker->Selected().empty()); break;
    default: m_Next->setEnabled(!running && CanStart()); break;
    }
}
