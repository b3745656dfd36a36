#include "pages/kit/PortChoice.h"

#include "intp/Ports.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/PortLayout.h"
#include "pages/kit/SwitchText.h"
#include "pages/rules/PageRules.h"

#include <QComboBox>

#include <algorithm>

int FillPortChoice(QComboBox* combo, Intp::TDevice* device, bool skipHidden)
{
    combo->clear();
    const auto& config = TModulePage::ValidRecord<Intp::TPropertyPortConfig>(device);
    const auto& names = TModulePage::ValidRecord<Intp::TPropertyPortName>(device);
    if (!config.valid || !names.valid)
        return 0;
    const std::size_t count = std::min<std::size_t>(config.count, config.entries.size());
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t port = config.entries[i].port;
        if (port >= names.names.size() || (skipHidden && names.names[port] == HiddenPortName))
            continue;
        combo->addItem(SwitchText(names.names[port]), port);
    }
    combo->setCurrentIndex(combo->count() ? 0 : -1);
    return combo->count();
}

void ChoosePort(QComboBox* combo, std::uint32_t port) { combo->setCurrentIndex(combo->findData(port)); }

bool ChosenPort(const QComboBox* combo, std::uint32_t& port)
{
    if (combo->currentIndex() < 0)
        return false;
    port = combo->currentData().toUInt();
    return true;
}

QString PortNameOf(const std::vector<std::string>& names, std::uint32_t port)
{
    return port < names.size() ? SwitchText(names[port]) : TPortLayout::NumberedCaption(int(port));
}
