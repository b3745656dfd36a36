#pragma once

// The controls of a settings page bound to the members of its record, so a
// refill and an Apply are one call each:
//
//   m_Sender = m_Fields.Text(form.Text("Sender &E-mail:"), &TPropertyWarningSmtp::sender);
//   ...
//   m_Fields.Fill(ValidRecord<TPropertyWarningSmtp>(device));     // refill
//   SendPayload<TSessionWarningSmtpSet>(m_Fields.Read());          // Apply
//
// Read starts from the record filled last: what the page does not show and
// a value a choice has no item for go back as they were read unless changed.
// A number field shows any value read, also one outside its limits, as it is
// (NumberBox.h). Texts are switch texts (SwitchText.h): one Latin-1
// character per byte both ways, at most the record's wire width.

#include "pages/kit/NumberBox.h"
#include "pages/kit/PageWidgets.h"
#include "pages/kit/PortCheckList.h"
#include "pages/kit/SwitchText.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

template <class R> class TFieldBinding {
public:
    QLineEdit* Text(QLineEdit* edit, std::string R::*member)
    {
        MakeSwitchText(edit, TextWidth(member));
        Bind([=](const R& r) { edit->setText(SwitchText(r.*member)); },
             [=](R& r) { r.*member = SwitchBytes(edit->text()); });
        return edit;
    }
    // An integer member in a number field, any value of the member shown and
    // sent as it is.
    template <class T> TNumberBox* Number(TNumberBox* number, T R::*member)
    {
        Bind([=](const R& r) { number->ShowValue((long long)(r.*member)); },
             [=](R& r) {
                 if (!number->IsBlank())
                     r.*member = T(number->value());
             });
        return number;
    }
    // An IPv4 address (host order), as the field parses it.
    TIpEdit* Ip(TIpEdit* edit, std::uint32_t R::*member)
    {
        Bind([=](const R& r) { edit->SetValue(r.*member); }, [=](R& r) { r.*member = edit->Value(); });
        return edit;
    }
    // The item index is the value less first (items for first, first + 1 ...).
    template <class T> QComboBox* Choice(QComboBox* combo, T R::*member, int first = 0)
    {
        Bind([=](const R& r) { SetChoice(combo, int((long long)(r.*member) - first)); },
             [=](R& r) {
                 if (combo->currentIndex() >= 0)
                     r.*member = T(combo->currentIndex() + first);
             });
        return combo;
    }
    // The checked button's id is the value; with no button for it none is
    // checked and the value goes back as read.
    template <class T> QButtonGroup* Radios(QButtonGroup* group, T R::*member)
    {
        Bind(
            [=](const R& r) {
                if (QAbstractButton* button = group->button(int(r.*member))) {
                    button->setChecked(true);
                } else if (QAbstractButton* checked = group->checkedButton()) {
                    group->setExclusive(false);
                    checked->setChecked(false);
                    group->setExclusive(true);
                }
            },
            [=](R& r) {
                if (group->checkedId() >= 0)
                    r.*member = T(group->checkedId());
            });
        return group;
    }
    QCheckBox* Check(QCheckBox* check, bool R::*member)
    {
        Bind([=](const R& r) { check->setChecked(r.*member); }, [=](R& r) { r.*member = check->isChecked(); });
        return check;
    }
    // A 32-bit mask in a check list: line k ticks bit k (SetLines), or the
    // port of its index (SetPorts).
    TPortCheckList* Mask(TPortCheckList* list, std::uint32_t R::*member)
    {
        Bind([=](const R& r) { list->SetMask(r.*member); }, [=](R& r) { r.*member = list->Mask(); });
        return list;
    }
    // One line per entry; empty entries get no line.
    QPlainTextEdit* Lines(QPlainTextEdit* memo, std::vector<std::string> R::*member)
    {
        MakeSwitchLines(memo);
        Bind(
            [=](const R& r) {
                memo->clear();
                for (const std::string& line : r.*member) {
                    if (!line.empty())
                        memo->appendPlainText(SwitchText(line));
                }
            },
            [=](R& r) {
                (r.*member).clear();
                for (const QString& line : MemoLines(memo))
                    (r.*member).push_back(SwitchBytes(line));
            });
        return memo;
    }

    void Fill(const R& record)
    {
        m_Read = record;
        for (const auto& show : m_Show)
            show(record);
    }
    R Read() const
    {
        R record = m_Read;
        for (const auto& take : m_Take)
            take(record);
        return record;
    }

private:
    template <class M> static std::size_t TextWidth(M member)
    {
        if constexpr (requires { R::Fields; })
            return R::Fields.TextWidth(member);
        else
            return 0;
    }
    void Bind(std::function<void(const R&)> show, std::function<void(R&)> take)
    {
        m_Show.push_back(std::move(show));
        m_Take.push_back(std::move(take));
    }

    R m_Read{};
    std::vector<std::function<void(const R&)>> m_Show;
    std::vector<std::function<void(R&)>> m_Take;
};
