#pragma once

// The controls of a settings page bound to the members of its record, so a
// refill and an Apply are one call each:
//
//   m_Sender = m_Fields.Text(form.Text("Sender &E-mail:"), &TPropertyWarningSmtp::sender);
//   ...
//   m_Fields.Fill(ValidRecord<TPropertyWarningSmtp>(device));     // refill
//   SendFields<TSessionWarningSmtpSet>(*this, m_Fields);           // Apply
//
// Read starts from the record filled last: what the page does not show, a
// value a choice has no item for and a number read outside its field's
// limits (shown as it is, NumberBox.h) go back as they were read unless
// changed. SendFields gives each switch its own values of those instead.
// Texts are switch texts (SwitchText.h): one Latin-1 character per byte
// both ways, at most the record's wire width.

#include "pages/kit/ModulePage.h"
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

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

template <class R> class TFieldBinding {
public:
    QLineEdit* Text(QLineEdit* edit, std::string R::*member)
    {
        MakeSwitchText(edit, TextWidth(member));
        // A text read longer than the field takes as typed shows whole (the
        // field then takes as many characters, up to the wire width).
        const int typed = edit->maxLength();
        Bind(
            [=](const R& r) {
                const QString text = SwitchText(r.*member);
                edit->setMaxLength(std::max(typed, int(text.size())));
                edit->setText(text);
            },
            [=](R& r) {
                r.*member = SwitchBytes(edit->text());
                return true;
            });
        return edit;
    }
    // An integer member in a number field, any value of the member shown as
    // it is. Only a value within the field's limits is taken: one read
    // outside them is a value the field can't hold, so each switch keeps its
    // own (as for a blank field).
    template <class T> TNumberBox* Number(TNumberBox* number, T R::*member)
    {
        Bind([=](const R& r) { number->ShowValue((long long)(r.*member)); },
             [=](R& r) {
                 const std::optional<long long> value = number->InLimits();
                 if (value)
                     r.*member = T(*value);
                 return value.has_value();
             });
        return number;
    }
    // An IPv4 address (host order), as the field parses it.
    TIpEdit* Ip(TIpEdit* edit, std::uint32_t R::*member)
    {
        Bind([=](const R& r) { edit->SetValue(r.*member); },
             [=](R& r) {
                 r.*member = edit->Value();
                 return true;
             });
        return edit;
    }
    // The item index is the value less first (items for first, first + 1 ...).
    template <class T> QComboBox* Choice(QComboBox* combo, T R::*member, int first = 0)
    {
        Bind([=](const R& r) { SetChoice(combo, int((long long)(r.*member) - first)); },
             [=](R& r) {
                 if (combo->currentIndex() >= 0)
                     r.*member = T(combo->currentIndex() + first);
                 return combo->currentIndex() >= 0;
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
                return group->checkedId() >= 0;
            });
        return group;
    }
    QCheckBox* Check(QCheckBox* check, bool R::*member)
    {
        Bind([=](const R& r) { check->setChecked(r.*member); },
             [=](R& r) {
                 r.*member = check->isChecked();
                 return true;
             });
        return check;
    }
    // A 32-bit mask in a check list: line k ticks bit k (SetLines), or the
    // port of its index (SetPorts).
    TPortCheckList* Mask(TPortCheckList* list, std::uint32_t R::*member)
    {
        Bind([=](const R& r) { list->SetMask(r.*member); },
             [=](R& r) {
                 r.*member = list->Mask();
                 return true;
             });
        return list;
    }
    // One line per entry; empty entries get no line. A line break in an
    // entry shows as its control picture (SwitchLine).
    QPlainTextEdit* Lines(QPlainTextEdit* memo, std::vector<std::string> R::*member)
    {
        MakeSwitchLines(memo);
        Bind(
            [=](const R& r) {
                memo->clear();
                for (const std::string& line : r.*member) {
                    if (!line.empty())
                        memo->appendPlainText(SwitchLine(line));
                }
            },
            [=](R& r) {
                (r.*member).clear();
                for (const QString& line : MemoLines(memo))
                    (r.*member).push_back(SwitchLineBytes(line));
                return true;
            });
        return memo;
    }

    void Fill(const R& record)
    {
        m_Read = record;
        for (const auto& show : m_Show)
            show(record);
    }
    R Read() const { return ReadOver(m_Read); }
    // What the controls show over own: a field that shows no value keeps own's.
    R ReadOver(R own) const
    {
        for (const auto& take : m_Take)
            take(own);
        return own;
    }
    // Whether every field shows a value, so that Read takes none from a record.
    bool ShowsAll() const
    {
        R scratch{};
        bool all = true;
        for (const auto& take : m_Take)
            all = take(scratch) && all;
        return all;
    }

private:
    template <class M> static std::size_t TextWidth(M member)
    {
        if constexpr (requires { R::Fields; })
            return R::Fields.TextWidth(member);
        else
            return 0;
    }
    void Bind(std::function<void(const R&)> show, std::function<bool(R&)> take)
    {
        m_Show.push_back(std::move(show));
        m_Take.push_back(std::move(take));
    }

    R m_Read{};
    std::vector<std::function<void(const R&)>> m_Show;
    std::vector<std::function<bool(R&)>> m_Take;
};

// What a number field no binding holds sends to device: its value within
// its limits, else (none, or one read outside them: the switch on show's)
// device's own member of its latest read of R. Why that can't be had, or
// empty.
template <class R, class T>
QString NumberOrOwn(const TNumberBox* number, Intp::TDevice* device, T R::*member, T& value)
{
    if (const std::optional<long long> shown = number->InLimits()) {
        value = T(*shown);
        return QString();
    }
    const R* own = device ? device->template LatestRead<R>() : nullptr;
    if (!own)
        return TModulePage::OwnReadWhy<R>(device, "its own value of a field the page shows none of was not read");
    value = own->*member;
    return QString();
}

// Sends fields with Set to each target of page: a field that shows no value
// takes the target's own from its latest read of R, and a target whose read
// can't be used then is named.
// refuses: why the target's own page would not send the record it is to
// take (the shown fields over its own), empty when it would.
template <class Set, class R>
int SendFields(TModulePage& page, const TFieldBinding<R>& fields,
               const std::function<QString(const std::type_identity_t<R>&)>& refuses = nullptr)
{
    const bool all = fields.ShowsAll();
    const R shown = fields.Read();
    return page.SendToEachTarget<Set>([&](Set& request, Intp::TDevice* target) {
        const R* own = all ? nullptr : target->LatestRead<R>();
        if (!all && !own)
            return TModulePage::OwnReadWhy<R>(target,
                                              "its own values of the fields the page shows none of were not read");
        const R taken = own ? fields.ReadOver(*own) : shown;
        if (const QString why = refuses ? refuses(taken) : QString(); !why.isEmpty())
            return why;
        request.SetPayload(taken);
        return QString();
    });
}
