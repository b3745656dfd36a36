#include "pages/security/snmp/SnmpV3Table.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/SwitchText.h"
#include "pages/kit/UntypedReportList.h"

TUntypedReportList* SnmpV3List(TPageForm& form, const QStringList& headers, TSortMode sort)
{
    auto* list = new TUntypedReportList();
    list->AddColumn(QString(), ckNumber);
    for (const QString& header : headers)
        list->AddColumn(header);
    list->Model()->SetSortMode(sort);
    list->SetColumnsFollowContents();
    form.List(QString(), list);
    return list;
}

QLineEdit* SnmpV3Text(TPageForm& form, const QString& label, std::size_t limit)
{
    return MakeSwitchText(form.Text(label), limit);
}

QString SnmpV3Key(const QStringList& fields) { return fields.join(QChar(0)); }
