#include "pages/kit/PageInterface.h"

#include <utility>

TModuleCallback* g_ModuleCallback = nullptr;

QString TRunningWork::ClosingLeaves() const
{
    return QStringLiteral("Closing the console now cuts this off, which can leave a switch with half an image or "
                          "without its new settings.");
}

TModuleDummy::TModuleDummy(const QString& caption) : m_Caption(caption) {}

QString TModuleDummy::GetCaption() const { return m_Caption; }

QWidget* TModuleDummy::GetFrame() { return nullptr; }

void TModuleDummy::OnNotify(Intp::TDevice*, std::uint16_t, std::uint16_t) {}

bool TModuleDummy::Leave(bool) { return true; }

int TModuleDummy::Refresh(bool) { return 0; }

TLazyModule::TLazyModule(const QString& caption, TMake make) : m_Caption(caption), m_Make(std::move(make)) {}

TLazyModule::~TLazyModule() = default;

TModule* TLazyModule::Page()
{
    // Once only, even when the factory gives none.
    if (const TMake make = std::exchange(m_Make, nullptr)) {
        m_Page.reset(make());
        if (m_Page && m_Built)
            m_Built(m_Page.get());
    }
    return m_Page.get();
}

void TLazyModule::WhenBuilt(std::function<void(TModule*)> hook)
{
    m_Built = std::move(hook);
    if (m_Page && m_Built)
        m_Built(m_Page.get());
}

QString TLazyModule::GetCaption() const { return m_Page ? m_Page->GetCaption() : m_Caption; }

QWidget* TLazyModule::GetFrame()
{
    TModule* page = Page();
    return page ? page->GetFrame() : nullptr;
}

void TLazyModule::OnNotify(Intp::TDevice* device, std::uint16_t code, std::uint16_t status)
{
    if (m_Page)
        m_Page->OnNotify(device, code, status);
}

bool TLazyModule::Leave(bool force) { return !m_Page || m_Page->Leave(force); }

int TLazyModule::Refresh(bool current)
{
    TModule* page = Page();
    return page ? page->Refresh(current) : 0;
}

TModule* RealModule(TModule* page)
{
    auto* lazy = dynamic_cast<TLazyModule*>(page);
    return lazy ? lazy->Page() : page;
}

TModule* BuiltModule(TModule* page)
{
    auto* lazy = dynamic_cast<TLazyModule*>(page);
    return lazy ? lazy->BuiltPage() : page;
}

bool DeferUntilBuilt(TModule* page, std::function<void(TModule*)> hook)
{
    auto* lazy = dynamic_cast<TLazyModule*>(page);
    if (!lazy || lazy->BuiltPage())
        return false;
    lazy->WhenBuilt(std::move(hook));
    return true;
}
