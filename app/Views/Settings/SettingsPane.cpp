#include "Views/Settings/SettingsPane.h"

#include "Engine/SessionEngine.h"
#include "Platform/AccessibilitySwitch.h"
#include "Platform/Clock.h"
#include "Storage/Database.h"
#include "ViewLogic/Settings/ClassificationModel.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/SectionHeader.h"
#include "Views/PlainText.h"
#include "Views/Settings/SettingsRows.h"
#include "Views/Theme.h"
#include "core/Calendar.h"

#include <QLabel>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrove {

namespace {} // namespace

PermissionsCardView::PermissionsCardView(SessionEngine& engine, AccessibilitySwitch& accessibility,
                                         QWidget* parent)
    : QWidget(parent), m_engine(engine), m_accessibility(accessibility),
      m_window(new PermissionRowView), m_browser(new PermissionRowView([this] { grant(); })),
      m_hiding(new PermissionRowView)
{
    QVBoxLayout* column = columnLayout(this, 12);
    column->addWidget(new SectionHeader(QString::fromUtf8(PermissionsCard::kTitle)));
    column->addWidget(m_window);
    column->addWidget(m_browser);
    column->addWidget(m_hiding);
    QLabel* footnote = textLabel(QString::fromUtf8(PermissionsCard::kFootnote), 11, QFont::Normal,
                                 KS::textTertiary());
    footnote->setWordWrap(true);
    column->addWidget(footnote);
    m_hiding->setRow(PermissionsCard::hidingApps());
    refresh();
}

void PermissionsCardView::refresh()
{
    const PermissionRow window =
        PermissionsCard::windowTitles(m_engine.permissions().hasAccessibility());
    if (!(window == m_window->row())) {
        m_window->setRow(window);
    }
    const PermissionRow browser = PermissionsCard::browserSites(m_access);
    if (!(browser == m_browser->row())) {
        m_browser->setRow(browser);
    }
}

void PermissionsCardView::readAccessibility()
{
    m_accessibility.readState(m_guard.wrap<AccessibilityState>([this](AccessibilityState state) {
        m_access.state = state;
        refresh();
    }));
}

void PermissionsCardView::grant()
{
    m_accessibility.turnOn(m_guard.wrap<bool>([this](bool ok) {
        m_access.turnedOnHere = ok;
        m_access.turnOnFailed = !ok;
        readAccessibility();
    }));
}

MeasurementCardView::MeasurementCardView(SessionEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine),
      m_goal(new SettingsMenu(optionLabels(MeasurementCard::goalOptions()), 90)),
      m_idle(new SettingsMenu(optionLabels(MeasurementCard::idleOptions()), 90)),
      m_grace(new SettingsMenu(optionLabels(MeasurementCard::graceOptions()), 90))
{
    QVBoxLayout* column = columnLayout(this, 16);
    column->addWidget(new SectionHeader(QString::fromUtf8(MeasurementCard::kTitle)));
    column->addWidget(settingRow(
        QStringLiteral("Daily goal"),
        QStringLiteral("Deep hours per day that count towards your goal. About four hours suits "
                       "most knowledge work."),
        m_goal));
    column->addWidget(settingRow(
        QStringLiteral("Idle after"),
        QStringLiteral("No keyboard, mouse or trackpad input for this long marks you idle. Idle "
                       "time never counts, and the boundary is placed at your last input, not "
                       "when it was noticed."),
        m_idle));
    column->addWidget(settingRow(QStringLiteral("Block grace"),
                                 QStringLiteral("How long you can be off deep work before a focus "
                                                "block ends. Shorter is stricter."),
                                 m_grace));
    m_goal->onChosen = [this](std::size_t i) {
        m_engine.goal().setDailyGoalHours(MeasurementCard::goalOptions()[i].value);
        refresh();
    };
    m_idle->onChosen = [this](std::size_t i) {
        m_engine.setIdleThresholdMinutes(MeasurementCard::idleOptions()[i].value);
        refresh();
    };
    m_grace->onChosen = [this](std::size_t i) {
        m_engine.setBlockGraceMinutes(MeasurementCard::graceOptions()[i].value);
        refresh();
    };
    m_goalChanged = m_engine.goal().observers().subscribe([this] { refresh(); });
    refresh();
}

void MeasurementCardView::refresh()
{
    const Preferences& preferences = m_engine.preferences();
    m_goal->select(
        selectedOption(MeasurementCard::goalOptions(), m_engine.goal().dailyGoalHours()));
    m_idle->select(
        selectedOption(MeasurementCard::idleOptions(),
                       MeasurementCard::storedMinutes(preferences, SessionEngine::kIdleThresholdKey,
                                                      MeasurementCard::kDefaultIdleMinutes)));
    m_grace->select(
        selectedOption(MeasurementCard::graceOptions(),
                       MeasurementCard::storedMinutes(preferences, SessionEngine::kBlockGraceKey,
                                                      MeasurementCard::kDefaultGraceMinutes)));
}

SettingsPane::SettingsPane(SessionEngine& engine, SettingsServices services, QWidget* parent)
    : QScrollArea(parent), m_engine(engine),
      m_permissions(new PermissionsCardView(engine, services.accessibility)),
      m_privacy(new PrivacySettingsCard(engine, services.apps, services.pickApps)),
      m_measurement(new MeasurementCardView(engine)),
      m_classification(new ClassificationCardView(engine)), m_morning(new MorningCardView(engine)),
      m_lockdown(new LockdownCardView(engine, services.apps)),
      m_general(new GeneralCardView(engine, services.loginItem)),
      m_data(new DataCardView(engine, services.revealer)), m_ticker(new QTimer(this))
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* page = new QWidget;
    page->setAutoFillBackground(false);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(SettingsPage::kSideMargin, SettingsPage::kTopMargin,
                               SettingsPage::kSideMargin, SettingsPage::kBottomMargin);
    layout->setSpacing(SettingsPage::kCardSpacing);

    auto* header = new QWidget;
    QVBoxLayout* headerColumn = columnLayout(header, 4);
    headerColumn->addWidget(
        new Eyebrow(QString::fromUtf8(SettingsPage::kEyebrow), KS::textTertiary()));
    headerColumn->addWidget(
        textLabel(QString::fromUtf8(SettingsPage::kTitle), 24, QFont::Bold, KS::text()));
    layout->addWidget(header);
    for (QWidget* card : cards()) {
        // The privacy card draws its own card frame.
        layout->addWidget(card == m_privacy ? card : settingsCard(card));
    }
    layout->addStretch(1);
    setWidget(page);
    viewport()->setAutoFillBackground(false);

    m_ticker->setInterval(1000);
    QObject::connect(m_ticker, &QTimer::timeout, this, [this] {
        m_permissions->refresh();
        m_privacy->tick();
        // The gate's one-line state depends on the time of day.
        m_morning->refresh();
    });
}

SettingsPane::~SettingsPane() = default;

std::vector<QWidget*> SettingsPane::cards() const
{
    return {m_permissions, m_privacy,  m_measurement, m_classification,
            m_morning,     m_lockdown, m_general,     m_data};
}

void SettingsPane::showEvent(QShowEvent* event)
{
    QScrollArea::showEvent(event);
    m_poll = m_engine.permissions().keepPolling();
    m_permissions->refresh();
    m_permissions->readAccessibility();
    m_privacy->tick();
    m_ticker->start();
    loadSeen();
}

void SettingsPane::hideEvent(QHideEvent* event)
{
    m_ticker->stop();
    m_poll.cancel();
    QScrollArea::hideEvent(event);
}

void SettingsPane::loadSeen()
{
    const Date to = m_engine.clock().now();
    const Date from = Calendar::addingDays(to, -ClassificationCard::kSeenDays);
    m_engine.database().run(
        m_guard,
        [from, to](Database& database) {
            return database.seenContexts(from, to, ClassificationCard::kLoadLimit);
        },
        [this](DatabaseResult<std::vector<SeenContext>> result) {
            m_classification->setSeen(result.ok() ? result.value() : std::vector<SeenContext>{});
            m_data->loadSize();
        });
}

} // namespace kestrove
