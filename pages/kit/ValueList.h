#pragma once

// An edited list of one value per index of a record's array (a priority, a
// port, a DSCP value): a caption column and a choice column whose editor
// sits under the list. Rows are filled from the array; Edited writes the
// rows' values back at their indexes.
//
//   m_ListView = new TValueList("DSCP", "Priority", queueNames, "&Priority:");
//   form.List(QString(), m_ListView);
//   m_ListView->CreateEditors(form);
//   m_ListView->SetValues(device, record.tosMap, [](std::size_t i) { return QString::number(i); });
//   record.tosMap = m_ListView->Edited(record.tosMap);

#include "pages/kit/PortLayout.h"
#include "pages/kit/TypedEditedList.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

struct TValueRow {
    std::size_t index = 0;  // in the record's array
    std::uint32_t value = 0;
    QString caption;
};

class TValueList : public TTypedEditedList<TValueRow> {
public:
    TValueList(const QString& captionHeader, const QString& valueHeader, const QStringList& choices,
               const QString& editor, QWidget* parent = nullptr)
        : TTypedEditedList<TValueRow>(parent)
    {
        Caption(captionHeader, [](const TValueRow& row) { return row.caption; });
        Choice(valueHeader, &TValueRow::value, choices, editor);
    }

    // A row per element of values, captioned caption(index); none without a device.
    template <class C>
    void SetValues(const Intp::TDevice* device, const C& values, const std::function<QString(std::size_t)>& caption)
    {
        std::vector<TValueRow> rows;
        for (std::size_t index = 0; device && index < std::size(values); ++index)
            rows.push_back({index, std::uint32_t(values[index]), caption(index)});
        SetRows(rows);
    }
    // A row per listed port of the layout, numbered "Port.01" on in row order;
    // a port the values do not reach shows 0.
    template <class C> void SetPortValues(const TPortLayout& ports, const C& values)
    {
        std::vector<TValueRow> rows;
        for (int row = 0; row < ports.RowCount(); ++row) {
            const std::size_t index = std::size_t(ports.IndexOfRow(row));
            rows.push_back({index, index < std::size(values) ? std::uint32_t(values[index]) : 0u,
                            TPortLayout::NumberedCaption(row)});
        }
        SetRows(rows);
    }
    // values with each row's value at its index.
    template <class C> C Edited(C values) const
    {
        for (const TValueRow& row : Rows()) {
            if (row.index < std::size(values))
                values[row.index] = typename C::value_type(row.value);
        }
        return values;
    }
};
