#pragma once

// A radio group whose buttons stand for codes a switch keeps: button i for
// the i-th code. It may have no choice (none made yet, or a code from a
// switch that no button stands for), and it answers the code, never the
// button's index. The buttons' texts are also the codes' texts in lists.
//
//   m_Level = TCodeRadios(form.Radios("&Security Level:", {"NoAuthNoPriv", "AuthNoPriv", "AuthPriv"}), {0, 1, 3});
//   if (auto level = m_Level.Code()) entry.level = *level;

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

class QButtonGroup;

class TCodeRadios {
public:
    TCodeRadios() = default;
    TCodeRadios(QButtonGroup* group, std::vector<std::uint32_t> codes);

    QButtonGroup* Group() const { return m_Group; }
    // The chosen code; none without a choice.
    std::optional<std::uint32_t> Code() const;
    // Chooses the code's button; none, or a code no button stands for,
    // leaves no choice.
    void SetCode(std::optional<std::uint32_t> code);
    // Whether a button stands for the code.
    bool Has(std::uint32_t code) const { return IndexOf(code) >= 0; }
    // The text of the code's button, or other for a code without one.
    QString Text(std::uint32_t code, const QString& other = QString()) const;

private:
    int IndexOf(std::uint32_t code) const;

    QButtonGroup* m_Group = nullptr;
    std::vector<std::uint32_t> m_Codes;
};
