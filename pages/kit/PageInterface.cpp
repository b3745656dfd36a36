#include "pages/kit/PageInterface.h"

TModuleCallback* g_ModuleCallback = nullptr;

TModuleDummy::TModuleDummy(const QString& caption) : m_Caption(caption) {}

QString TModuleDummy::GetCaption() const { return m_Caption; }

QWidget* TModuleDummy::GetFrame() { return nullptr; }

void TModuleDummy::OnNotify(Intp::TDevice*, std::uint16_t, std::uint16_t) {}

bool TModuleDummy::Leave(bool) { return true; }

int TModuleDummy::Refresh(bool) { return 0; }
