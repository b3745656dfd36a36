#include "pages/kit/CodeRadios.h"

#include <QAbstractButton>
#include <QButtonGroup>

#include <algorithm>

TCodeRadios::TCodeRadios(QButtonGroup* group, std::vector<std::uint32_t> codes)
    : m_Group(group), m_Codes(std::move(codes))
{
}

int TCodeRadios::IndexOf(std::uint32_t code) const
{
    const auto it = std::find(m_Codes.begin(), m_Codes.end(), code);
    return it == m_Codes.end() ? -1 : int(it - m_Codes.begin());
}

std::optional<std::uint32_t> TCodeRadios::Code() const
{
    const int index = m_Group ? m_Group->checkedId() : -1;
    if (index < 0 || std::size_t(index) >= m_Codes.size())
        return std::nullopt;
    return m_Codes[std::size_t(index)];
}

void TCodeRadios::SetCode(std::optional<std::uint32_t> code)
{
    if (!m_Group)
        return;
    if (QAbstractButton* button = code ? m_Group->button(IndexOf(*code)) : nullptr) {
        button->setChecked(true);
        return;
    }
    // An exclusive group can't uncheck its checked button.
    if (QAbstractButton* checked = m_Group->checkedButton()) {
        m_Group->setExclusive(false);
        checked->setChecked(false);
        m_Group->setExclusive(true);
    }
}

QString TCodeRadios::Text(std::uint32_t code, const QString& other) const
{
    const QAbstractButton* button = m_Group ? m_Group->button(IndexOf(code)) : nullptr;
    return button ? button->text() : other;
}
