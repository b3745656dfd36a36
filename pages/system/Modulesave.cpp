#include "pages/system/Modulesave.h"

#include "intp/Maintenance.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"

#include <QPushButton>

#include <new>

TModuleSave::TModuleSave(QWidget* parent) : TTransferPage("Save To Flash", 4, parent)
{
    TPageForm form = LayOut(nullptr);
    m_Save = form.Button("&Save", "RC_BITMAP_16X16_SAVE", true);
    m_BottomPanel = form.ButtonPanel();

    connect(m_Save, &QPushButton::clicked, this, [this] { EventOnSaveClick(); });
    m_Save->setEnabled(false);
    SetToolTipReason(m_Save, [this] { return m_Save->isEnabled() ? QString() : StartBlocker(); });
}

void TModuleSave::AfterFill(const std::vector<Intp::TDevice*>& listed) { m_Save->setEnabled(!listed.empty()); }

void TModuleSave::EventOnSaveClick() { StartRun(); }

int TModuleSave::StartTransfers(int first)
{
    // All rows at once, the last row first.
    if (first != 0)
        return 0;
    return StartRows(
        RowCount() - 1, 0, "Sending request",
        [](Intp::TDevice*, bool&) { return new (std::nothrow) Intp::TSessionBasicsSave; }, true);
}

bool TModuleSave::IsRunCode(std::uint16_t code) const { return code == Intp::ccBasicsSave; }

// The reply carries only its status: status 0 is done.
TTransferOutcome TModuleSave::Progress(std::uint16_t, const void*) const { return toDone; }

void TModuleSave::OnBusyChanged(bool busy) { m_Save->setEnabled(!busy); }

REGISTER_PAGE(TModuleSave);
