#include "pages/system/Modulebasics_sntp.h"

#include "intp/SystemSettings.h"
#include "pages/kit/PageForm.h"
#include "pages/kit/PageRegistry.h"
#include "pages/kit/PageWidgets.h"
#include "pages/rules/SystemRules.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>
#include <QTimer>

#include <climits>

namespace {

const char* const kTimeZones[] = {
    "(GMT-12:00)Eniwetok, Kwajalein",
    "(GMT-11:00)Midway Island, Samoa",
    "(GMT-10:00)Hawaii",
    "(GMT-09:00)Alaska",
    "(GMT-08:00)Pacific Time (US &amp; Canada), Tijuana",
    "(GMT-07:00)Arizona",
    "(GMT-07:00)Mountain Time (US &amp; Canada)",
    "(GMT-06:00)Central Time (US &amp; Canada)",
    "(GMT-06:00)Mexico City, Tegucigalpa",
    "(GMT-06:00)Saskatchewan",
    "(GMT-05:00)Bogota, Lima, Quito",
    "(GMT-05:00)Eastern Time (US &amp; Canada)",
    "(GMT-05:00)Indiana (East)",
    "(GMT-04:00)Atlantic Time (Canada)",
    "(GMT-04:00)Caracas, La Paz",
    "(GMT-04:00)Santiago",
    "(GMT-03:30)Newfoundland",
    "(GMT-03:00)Brasilia",
    "(GMT-03:00)Buenos Aires, Georgetown",
    "(GMT-02:00)Mid-Atlantic",
    "(GMT-01:00)Azores, Cape Verde Is.",
    "(GMT)Casablanca, Monrovia",
    "(GMT)Greenwich Mean Time: Dublin, Edinburgh, Lisbon, London",
    "(GMT+01:00)Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna",
    "(GMT+01:00)Belgrade, Bratislava, Budapest, Ljubljana, Prague",
    "(GMT+01:00)Brussels, Copenhagen, Madrid, Paris, Vilnius",
    "(GMT+01:00)Sarajevo, Skopje, Sofija, Warsaw, Zagreb",
    "(GMT+02:00)Athens, Istanbul, Minsk",
    "(GMT+02:00)Bucharest",
    "(GMT+02:00)Cairo",
    "(GMT+02:00)Harare, Pretoria",
    "(GMT+02:00)Helsinki, Riga, Tallinn",
    "(GMT+02:00)Jerusalem",
    "(GMT+03:00)Baghdad, Kuwait, Riyadh",
    "(GMT+03:00)Moscow, St. Petersburg, Volgograd",
    "(GMT+03:00)Mairobi",
    "(GMT+03:30)Tehran",
    "(GMT+04:00)Abu Dhabi, Muscat",
    "(GMT+04:00)Baku, Tbilisi",
    "(GMT+04:30)Kabul",
    "(GMT+05:00)Ekaterinburg",
    "(GMT+05:00)Islamabad, Karachi, Tashkent",
    "(GMT+05:30)Bombay, Calcutta, Madras, New Delhi",
    "(GMT+06:00)Astana, Almaty, Dhaka",
    "(GMT+06:00)Colombo",
    "(GMT+07:00)Bangkok, Hanoi, Jakarta",
    "(GMT+08:00)Beijing, Chongqing, Hong Kong, Urumqi",
    "(GMT+08:00)Perth",
    "(GMT+08:00)Singapore",
    "(GMT+08:00)Taipei",
    "(GMT+09:00)Osaka, Sapporo, Tokyo",
    "(GMT+09:00)Seoul",
    "(GMT+09:00)Yakutsk",
    "(GMT+09:30)Adelaide",
    "(GMT+09:30)Darwin",
    "(GMT+10:00)Brisbane",
    "(GMT+10:00)Canberra, Melbourne, Sydney",
    "(GMT+10:00)Guam, Port Moresby",
    "(GMT+10:00)Hobart",
    "(GMT+10:00)Vladivostok",
    "(GMT+11:00)Magadan, Solomon Is., New Caledonia",
    "(GMT+12:00)Auckland, Wllington",
    "(GMT+12:00)Fiji, Kamchatka, Marshall Is.",
};
static_assert(std::size(kTimeZones) == 63);

const QStringList kOffOn = {"Disable", "Enable"};

} // namespace

TModuleBasicsSntp::TModuleBasicsSntp(QWidget* parent)
    : TModulePage("Time (SNTP)", parent)
{
    m_Now = [] { return QDateTime::currentSecsSinceEpoch(); };
    TPageForm form(this);

    // Two controls in one field; the first takes the focus of its label.
    auto pair = [](QWidget* first, QWidget* second) {
        auto* box = new QWidget;
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        first->setParent(box);
        second->setParent(box);
        row->addWidget(first, 1);
        row->addWidget(second);
        box->setFocusProxy(first);
        return box;
    };
    auto newDate = [] {
        auto* date = new QDateEdit;
        date->setDisplayFormat(QLocale().dateFormat(QLocale::LongFormat));
        // The switch counts unsigned 32-bit seconds from 1970: to 2106-02-07 06:28:15.
        date->setDateRange(QDate(1970, 1, 1), QDate(2106, 2, 7));
        return date;
    };
    auto newTime = [] {
        auto* time = new QTimeEdit;
        time->setDisplayFormat("HH:mm:ss");
        return time;
    };

    m_BasicTitle = BoldLabel("Basic Settings:", this);
    form.Field(QString(), m_BasicTitle);
    m_Sntp = form.Choice("&SNTP Client:", kOffOn);
    // The rest follows the SNTP and daylight rules; Apply its own.
    form.NeedsDevice(false);
    QStringList zones;
    for (const char* zone : kTimeZones)
        zones.append(QString::fromLatin1(zone));
    m_Timezone = form.Choice("&UTC Timezone:", zones);
    m_Timezone->setCurrentIndex(22);
    m_Address = form.Ip("Server IP &Address:");
    m_Address->SetRewriteOnExit(true);
    m_Current = static_cast<QLabel*>(form.Field("Current System Time:", new QLabel("(Invalid)")));
    m_DaylightTitle = BoldLabel("Daylight Saving Time:", this);
    form.Field(QString(), m_DaylightTitle);
    m_Daylight = form.Choice("&Daylight Saving:", kOffOn);
    m_BeginDate = newDate();
    m_BeginTime = newTime();
    m_Begin = form.Field("Period &Begin:", pair(m_BeginDate, m_BeginTime));
    m_EndDate = newDate();
    m_EndTime = newTime();
    m_End = form.Field("Period &End:", pair(m_EndDate, m_EndTime));
    auto* offset = new TNumberBox;
    offset->SetLimits(INT_MIN, INT_MAX);
    m_Offset = offset;
    m_OffsetField = form.Field("&Offset:", pair(m_Offset, new QLabel("(minutes)")));
    m_Apply = form.Button("&Apply", "RC_BITMAP_16X16_ACCEPT", true);
    form.KeepAtTop();

    m_Timer = new QTimer(this);
    m_Timer->setInterval(1000);

    AddRead<Intp::TSessionBasicsSntpGet>();
    AddInputs({m_Apply});
    connect(m_Sntp, &QComboBox::currentIndexChanged, this, [this] { EventOnSntpChange(); });
    connect(m_Daylight, &QComboBox::currentIndexChanged, this, [this] { EventOnDlsChange(); });
    connect(m_Address, &QLineEdit::textChanged, this, [this] { EventOnAddressChange(); });
    for (QDateEdit* date : {m_BeginDate, m_EndDate})
        connect(date, &QDateEdit::dateChanged, this, [this] { EventOnAddressChange(); });
    for (QTimeEdit* time : {m_BeginTime, m_EndTime})
        connect(time, &QTimeEdit::timeChanged, this, [this] { EventOnAddressChange(); });
    connect(m_Apply, &QPushButton::clicked, this, [this] { EventOnApplyClick(); });
    connect(m_Timer, &QTimer::timeout, this, [this] { EventOnTimerTimer(); });
}

void TModuleBasicsSntp::ShowPeriod(QDateEdit* date, QTimeEdit* time, int64_t seconds)
{
    const TWallClock clock = WallClockOf(seconds);
    date->setDate(QDate(clock.Year, clock.Month, clock.Day));
    time->setTime(QTime(clock.Hour, clock.Minute, clock.Second));
}

uint32_t TModuleBasicsSntp::PeriodSeconds(const QDateEdit* date, const QTimeEdit* time) const
{
    const QDate d = date->date();
    const QTime t = time->time();
    return WallClockSeconds({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()});
}

void TModuleBasicsSntp::Fill(Intp::TDevice* device)
{
    m_Sntp->setCurrentIndex(0);
    m_Timezone->setCurrentIndex(0);
    m_Server = 0;
    m_Address->SetValue(0);
    m_Instants[0] = m_Instants[1] = 0;
    m_Daylight->setCurrentIndex(0);
    m_Timer->stop();
    m_Current->setText("(Invalid)");

    const auto& record = ValidRecord<Intp::TPropertyBasicsSntp>(device);
    // The period and offset show the switch's own unless the rules below say otherwise.
    ShowPeriod(m_BeginDate, m_BeginTime, record.DaylightBegin);
    ShowPeriod(m_EndDate, m_EndTime, record.DaylightEnd);
    m_Offset->setValue(int32_t(record.DaylightOffset));
    if (record.Enabled) {
        m_Sntp->setCurrentIndex(1);
        SetChoice(m_Timezone, int(record.TimeZone));
        m_Address->SetValue(record.Server);
        m_Server = record.Server;
        const bool known = record.CurrentTime != 0xFFFFFFFFu;
        if (known) {
            m_ClockOffset = int64_t(record.CurrentTime) - m_Now();
            m_LastTick = m_Now() + m_ClockOffset;
            m_Timer->start();
        }
        if (record.Daylight) {
            m_Daylight->setCurrentIndex(1);
            m_Instants[0] = int64_t(record.DaylightBegin) + 3;
            m_Instants[1] = int64_t(record.DaylightEnd) + 3;
            // The offset is a signed count of minutes on the wire.
            m_ClockOffset += int64_t(int32_t(record.DaylightOffset)) * 60;
            m_LastTick = m_Now() + m_ClockOffset;
            ShowPeriod(m_BeginDate, m_BeginTime, record.DaylightBegin);
            ShowPeriod(m_EndDate, m_EndTime, record.DaylightEnd);
            m_Offset->setValue(int32_t(record.DaylightOffset));
        } else if (known) {
            for (auto [date, time] : {std::pair{m_BeginDate, m_BeginTime}, std::pair{m_EndDate, m_EndTime}})
                ShowPeriod(date, time, record.CurrentTime);
        } else {
            const QDateTime now = QDateTime::fromSecsSinceEpoch(m_Now());
            for (QDateEdit* date : {m_BeginDate, m_EndDate})
                date->setDate(now.date());
            for (QTimeEdit* time : {m_BeginTime, m_EndTime})
                time->setTime(now.time());
        }
    }
    EventOnSntpChange();
}

void TModuleBasicsSntp::EventOnSntpChange()
{
    const bool on = m_Sntp->currentIndex() == 1;
    for (QWidget* field : {(QWidget*)m_Timezone, (QWidget*)m_Address, (QWidget*)m_DaylightTitle, (QWidget*)m_Daylight})
        TPageForm::SetFieldEnabled(field, on);
    TPageForm::SetFieldEnabled(m_Current, on && m_Timer->isActive());
    EventOnDlsChange();
}

void TModuleBasicsSntp::EventOnDlsChange()
{
    const bool on = m_Sntp->currentIndex() == 1 && m_Daylight->currentIndex() == 1;
    for (QWidget* field : {m_Begin, m_End, m_OffsetField})
        TPageForm::SetFieldEnabled(field, on);
    ApplyRule();
}

void TModuleBasicsSntp::EventOnAddressChange()
{
    m_Server = m_Address->Value();
    ApplyRule();
}

bool TModuleBasicsSntp::PeriodFits(const QDateEdit* date, const QTimeEdit* time) const
{
    return date->date() < QDate(2106, 2, 7) || time->time() <= QTime(6, 28, 15);
}

void TModuleBasicsSntp::ApplyRule()
{
    QString why = QString::fromStdString(SntpApplyProblem(
        m_Sntp->currentIndex() == 1, m_Server, m_Daylight->currentIndex() == 1,
        PeriodSeconds(m_BeginDate, m_BeginTime), PeriodSeconds(m_EndDate, m_EndTime)));
    if (why.isEmpty() && !(PeriodFits(m_BeginDate, m_BeginTime) && PeriodFits(m_EndDate, m_EndTime)))
        why = "The switch counts time only up to 2106/02/07 06:28:15.";
    SetEnabledWhy(m_Apply, why);
}

void TModuleBasicsSntp::EventOnTimerTimer()
{
    const int64_t now = m_Now() + m_ClockOffset;
    const int64_t previous = m_LastTick;
    m_LastTick = now;
    m_Current->setText(QString::fromStdString(WallClockText(now)));
    if (m_Instants[0] != 0 &&
        (ReachedInstant(previous, now, m_Instants[0]) || ReachedInstant(previous, now, m_Instants[1])))
        Refresh(true);
}

void TModuleBasicsSntp::EventOnApplyClick()
{
    Intp::TPropertyBasicsSntp record;
    record.Enabled = m_Sntp->currentIndex() == 1;
    record.Server = m_Server;
    record.Daylight = m_Daylight->currentIndex() == 1;
    record.DaylightBegin = PeriodSeconds(m_BeginDate, m_BeginTime);
    record.DaylightEnd = PeriodSeconds(m_EndDate, m_EndTime);
    record.DaylightOffset = uint32_t(m_Offset->value());
    // A time zone without an item goes as each switch's own page shows it:
    // its own zone while its SNTP is on, else the first item.
    SendToEachTarget<Intp::TSessionBasicsSntpSet>([&](Intp::TSessionBasicsSntpSet& request, Intp::TDevice* target) {
        Intp::TPropertyBasicsSntp own = record;
        int zone = m_Timezone->currentIndex();
        if (const auto* read = target->LatestRead<Intp::TPropertyBasicsSntp>(); zone < 0 && read && !read->Enabled)
            zone = 0;
        const QString why = ChoiceOrOwn(zone, target, &Intp::TPropertyBasicsSntp::TimeZone, own.TimeZone);
        if (why.isEmpty())
            request.SetPayload(own);
        return why;
    });
}

REGISTER_PAGE(TModuleBasicsSntp);
