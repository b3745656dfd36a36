#include "pages/ports/ModuleMonitor_Event.h"

#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/SwitchText.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QPushButton>

TModuleMonitorEvent::TModuleMonitorEvent(QWidget* parent) : TModulePage("System Event Log", parent)
{
    TPageForm form(this);
    m_Pages = form.Choice("View &Page:", {});
    // The log takes the page's whole width and the height left.
    m_Log = new QPlainTextEdit();
    form.List(QString(), m_Log);
    m_Log->setReadOnly(true);
    m_Log->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_Clear = form.Button("&Clear", "RC_BITMAP_16X16_CLEAR", true);
    connect(m_Clear, &QPushButton::clicked, this, [this] { SendToSelectedDevices<Intp::TSessionMonitorEventClear>(); });
    connect(m_Pages, &QComboBox::currentIndexChanged, this, [this] {
        if (!IsRefilling())
            EventOnPagesChange();
    });
    AddRead<Intp::TSessionMonitorEventGet>();
}

void TModuleMonitorEvent::Fill(Intp::TDevice* device)
{
    m_Pages->clear();
    const auto& log = ValidRecord<Intp::TPropertyMonitorEvent>(device);
    if (log.valid) {
        const int n = int(log.entries.size());
        const int pages = n == 0 ? 1 : (n + EntriesPerPage - 1) / EntriesPerPage;
        for (int i = 1; i <= pages; ++i)
            m_Pages->addItem(QString("Page.%1").arg(i, 2, 10, QChar('0')));
        m_Pages->setCurrentIndex(0);
    }
    EventOnPagesChange();
}

// View page k shows the k-th block of 100 counted from the latest entry, latest first.
void TModuleMonitorEvent::EventOnPagesChange()
{
    m_Log->clear();
    const auto& log = ValidRecord<Intp::TPropertyMonitorEvent>(CurrentDevice());
    const int page = m_Pages->currentIndex();
    if (!log.valid || page < 0)
        return;
    QStringList lines;
    const int last = int(log.entries.size()) - 1 - page * EntriesPerPage;
    for (int i = last; i >= 0 && i > last - EntriesPerPage; --i) {
        const auto& e = log.entries[std::size_t(i)];
        lines.append(SwitchText(e.head) + ": " + SwitchText(e.text));
    }
    m_Log->setPlainText(lines.join('\n'));
}

void TModuleMonitorEvent::OnLeave()
{
    m_Log->clear();
    m_Pages->clear();
}

REGISTER_PAGE(TModuleMonitorEvent);
