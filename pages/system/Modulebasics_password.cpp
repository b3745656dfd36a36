#include "pages/system/Modulebasics_password.h"

#include "intp/Maintenance.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/SystemRules.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* ApplyButton(QWidget* parent, const char* caption = "&Apply", const char* glyph = "RC_BITMAP_16X16_ACCEPT")
{
    auto* button = new QPushButton(caption, parent);
    button->setDefault(true);
    LoadGlyph(button, glyph);
    return button;
}

// The page's controls at the top left, the button below them.
void Arrange(QWidget* page, QLayout* fields, QPushButton* button)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(button);
    auto* column = new QVBoxLayout;
    column->addLayout(fields);
    column->addLayout(buttons);
    column->addStretch(1);
    auto* layout = new QHBoxLayout(page);
    layout->addLayout(column);
    layout->addStretch(1);
}

} // namespace

// ---------------------------------------------------------------------------
// Admin Password

TModuleBasicsPassword::TModuleBasicsPassword(QWidget* parent) : TModulePage("Admin Password", parent)
{
    auto* grid = new QGridLayout;
    int row = 0;
    auto addRow = [&](const char* caption, QLineEdit*& edit, bool secret) {
        edit = new QLineEdit(this);
        if (secret) {
            edit->setEchoMode(QLineEdit::Password);
            // Never offered to input methods, clipboard or screen readers.
            edit->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
        }
        auto* label = new QLabel(caption, this);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row++, 1);
        AddInputs({label, edit});
    };
    addRow("New &Username:", m_Username, false);
    addRow("New &Password:", m_Password, true);
    addRow("&Confirm Password:", m_Confirm, true);
    m_Apply = ApplyButton(this);
    Arrange(this, grid, m_Apply);

    SetHideWhileRefilling(false);
    WatchChanges({m_Username, m_Password, m_Confirm});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleBasicsPassword::Fill(Intp::TDevice* device)
{
    Forget();
    if (device)
        UpdateActions();
    else
        m_Apply->setEnabled(false);
}

void TModuleBasicsPassword::UpdateActions()
{
    m_Apply->setEnabled(CurrentDevice() &&
                        IsPasswordAcceptable(m_Username->text().toStdString(), m_Password->text().toStdString(),
                                             m_Confirm->text().toStdString()));
}

void TModuleBasicsPassword::EventOnApplyClick()
{
    const QByteArray user = m_Username->text().toLatin1();
    QByteArray password = m_Password->text().toLatin1();
    SendToSelectedDevices<Intp::TSessionBasicsPassword>(
        [&](Intp::TSessionBasicsPassword& request) { request.SetPayload(user.toStdString(), password.toStdString()); });
    password.fill('\0');
}

void TModuleBasicsPassword::OnLeave() { Forget(); }

void TModuleBasicsPassword::Forget()
{
    // The typed password lives only in the edits, and only while the page is on show.
    for (QLineEdit* edit : {m_Username, m_Password, m_Confirm})
        edit->clear();
}

// ---------------------------------------------------------------------------
// Factory Default

TModuleBasicsDefault::TModuleBasicsDefault(QWidget* parent) : TModulePage("Factory Default", parent)
{
    m_KeepNet = new QCheckBox("Keep Current IP &Address Settings", this);
    m_KeepAuth = new QCheckBox("Keep Current &Username and Password", this);
    m_Reboot = new QCheckBox("&Reboot", this);
    m_Apply = ApplyButton(this);
    auto* boxes = new QVBoxLayout;
    for (QCheckBox* box : {m_KeepNet, m_KeepAuth, m_Reboot})
        boxes->addWidget(box);
    Arrange(this, boxes, m_Apply);

    SetHideWhileRefilling(false);
    AddInputs({m_KeepNet, m_KeepAuth, m_Reboot, m_Apply});
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
}

void TModuleBasicsDefault::Fill(Intp::TDevice*)
{
    m_KeepNet->setChecked(true);
    m_KeepAuth->setChecked(true);
    m_Reboot->setChecked(false);
}

void TModuleBasicsDefault::EventOnApplyClick()
{
    const uint32_t mask = (m_KeepNet->isChecked() ? uint32_t(Intp::dkNetwork) : 0u) |
                          (m_KeepAuth->isChecked() ? uint32_t(Intp::dkAccount) : 0u);
    const bool reboot = m_Reboot->isChecked();
    SendToSelectedDevices<Intp::TSessionBasicsDefault>([&](Intp::TSessionBasicsDefault& request) {
        request.SetKeepMask(mask);
        request.SetReboot(reboot);
    });
}

// ---------------------------------------------------------------------------
// Reboot

TModuleBasicsReboot::TModuleBasicsReboot(QWidget* parent) : TModulePage("Reboot", parent)
{
    m_Reboot = ApplyButton(this, "&Reboot", "RC_BITMAP_16X16_REBOOT");
    auto* layout = new QHBoxLayout(this);
    auto* column = new QVBoxLayout;
    column->addWidget(m_Reboot);
    column->addStretch(1);
    layout->addLayout(column);
    layout->addStretch(1);
    SetHideWhileRefilling(false);
    AddInputs({m_Reboot});
    connect(m_Reboot, &QPushButton::clicked, this, [] { RebootSelectedDevices(nullptr); });
}

REGISTER_PAGE(TModuleBasicsPassword);
REGISTER_PAGE(TModuleBasicsDefault);
REGISTER_PAGE(TModuleBasicsReboot);
