#pragma once

// "IGMP Snooping Table" of both generations: the multicast groups the
// switch learnt, with their VLAN and member ports. Each column sorts by its
// own key in its own direction; the sort outlives refills.

#include "intp/Igmp.h"
#include "pages/kit/ModulePage.h"
#include "pages/kit/TypedReportList.h"

#include <cstdint>
#include <vector>

class TIgmpTablePage : public TModulePage {
    Q_OBJECT

public:
    struct TRow {
        int number = 0; // record order, from 1
        std::uint32_t groupIp = 0;
        std::uint32_t vid = 0;
        std::uint32_t ports = 0; // member mask; sorts as a number
        QString members;         // listed port numbers
    };

    TTypedReportList<TRow>* m_List = nullptr;

protected:
    explicit TIgmpTablePage(QWidget* parent);
    void ShowGroups(Intp::TDevice* device, const std::vector<Intp::TPropertyIgmpTableEntry>& groups);
    void OnLeave() override { m_List->Clear(); }
};

// A generation's table page: its read and its record.
template <class TGet> class TIgmpGenerationTable : public TIgmpTablePage {
public:
    explicit TIgmpGenerationTable(QWidget* parent) : TIgmpTablePage(parent) { AddRead<TGet>(); }

protected:
    void Fill(Intp::TDevice* device) override
    {
        ShowGroups(device, ValidRecord<typename TGet::Record>(device).entries);
    }
};

class TModuleIgmpTable : public TIgmpGenerationTable<Intp::TSessionIgmpTable> {
    Q_OBJECT

public:
    explicit TModuleIgmpTable(QWidget* parent = nullptr) : TIgmpGenerationTable(parent) {}
};

class TModuleIgmp2Table : public TIgmpGenerationTable<Intp::TSessionIgmp2Table> {
    Q_OBJECT

public:
    explicit TModuleIgmp2Table(QWidget* parent = nullptr) : TIgmpGenerationTable(parent) {}
};
