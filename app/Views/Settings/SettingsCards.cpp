#include "Engine/DayPlanStore.h"
#include "Engine/FocusBridge.h"
#include "Engine/LockInDisplay.h"
#include "Engine/MorningGateController.h"
#include "Engine/SessionEngine.h"
#include "Platform/FolderRevealer.h"
#include "Platform/Preferences.h"
#include "Storage/Database.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Focus/AllowlistSettings.h"
#include "Views/PlainText.h"
#include "Views/Settings/SettingsPane.h"
#include "Views/Settings/SettingsRows.h"
#include "Views/Theme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>

#include <sys/stat.h>

namespace kestrove {

namespace {

QLabel* paragraph(const QString& text, int size, const QColor& colour)
{
    QLabel* label = textLabel(text, size, QFont::Normal, colour);
    label->setWordWrap(true);
    return label;
}

// A weekday chip: a 24-point circle, deep when the day is active.
class WeekdayButton final : public QAbstractButton
{
public:
    explicit WeekdayButton(const QString& label)
    {
        setText(label);
        setFixedSize(24, 24);
        setCursor(Qt::PointingHandCursor);
    }
    bool active = false;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(active ? KS::deep() : QColor(255, 255, 255, 18));
        painter.drawEllipse(QRectF(rect()));
        painter.setFont(uiFont(11, QFont::DemiBold));
        painter.setPen(active ? KS::ink() : KS::textTertiary());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

QWidget* buttonRow(std::initializer_list<QWidget*> buttons)
{
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    for (QWidget* button : buttons) {
        layout->addWidget(button, 0, Qt::AlignVCenter);
    }
    layout->addStretch(1);
    return row;
}

// A plain pill whose label is in the distraction colour: the destructive actions.
class DestructivePill final : public PillButton
{
public:
    explicit DestructivePill(const QString& label) : PillButton(label, {}) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        pillStyle().paint(painter, rect(), QString(), isDown());
        painter.setOpacity(isDown() ? 0.85 : 1.0);
        painter.setFont(pillStyle().labelFont());
        painter.setPen(KS::distraction());
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
    }
};

PillButton* distractionPill(const QString& label)
{
    return new DestructivePill(label);
}

} // namespace

// Morning plan.

MorningCardView::MorningCardView(SessionEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine),
      m_explanation(textLabel({}, 11, QFont::Normal, KS::textTertiary())),
      m_enabled(new SettingsSwitch),
      m_start(new SettingsMenu(optionLabels(MorningCard::startOptions()), 84)),
      m_preview(new PillButton(QStringLiteral("Preview the wall"), {})),
      m_copy(new PillButton(QStringLiteral("Copy today's blocks"), {}))
{
    QVBoxLayout* column = columnLayout(this, 16);
    auto* header = new QWidget;
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(0, 0, 0, 0);
    auto* title = new SectionHeader(QString::fromUtf8(MorningCard::kTitle));
    // The title keeps its whole width; the explanation beside it takes what is left.
    title->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    title->setMinimumWidth(title->sizeHint().width() + 4);
    headerRow->addWidget(title, 0, Qt::AlignBottom);
    headerRow->addStretch(1);
    headerRow->addWidget(m_explanation, 0, Qt::AlignBottom);
    column->addWidget(header);
    column->addWidget(paragraph(QString::fromUtf8(MorningCard::kHelp), 12, KS::textSecondary()));
    column->addWidget(settingRow(QStringLiteral("Wall off the day until it is planned"),
                                 QStringLiteral("Off until you turn it on. Nothing arms before the "
                                                "start time."),
                                 m_enabled));
    column->addWidget(settingRow(QStringLiteral("Start time"),
                                 QStringLiteral("Before this, the computer is free. After it, an "
                                                "unplanned day is walled off."),
                                 m_start));
    auto* days = new QWidget;
    auto* daysRow = new QHBoxLayout(days);
    daysRow->setContentsMargins(0, 0, 0, 0);
    daysRow->setSpacing(4);
    for (const auto& chip : MorningCard::weekdayChips({})) {
        auto* button = new WeekdayButton(QString::fromStdString(chip.label));
        const int day = chip.day;
        QObject::connect(button, &QAbstractButton::clicked, this, [this, day] {
            DayPlanStore& store = m_engine.dayPlans();
            if (const auto next = MorningCard::pressWeekday(store.config().activeWeekdays, day)) {
                MorningGateConfig config = store.config();
                config.activeWeekdays = *next;
                store.setConfig(config);
            }
            refresh();
        });
        daysRow->addWidget(button);
        m_days.push_back(button);
    }
    column->addWidget(settingRow(QStringLiteral("Days"),
                                 QStringLiteral("The gate only runs on these days."), days));
    auto* openForm = new PillButton(QStringLiteral("Open the form"), {});
    column->addWidget(buttonRow({openForm, m_preview, m_copy}));

    QObject::connect(m_enabled, &QAbstractButton::clicked, this, [this](bool on) {
        MorningGateConfig config = m_engine.dayPlans().config();
        config.enabled = on;
        m_engine.dayPlans().setConfig(config);
    });
    m_start->onChosen = [this](std::size_t index) {
        const int minute = MorningCard::startOptions()[index].value;
        // Hour and minute are set one after the other, each saved only when it changed.
        MorningGateConfig config = m_engine.dayPlans().config();
        config.startHour = minute / 60;
        m_engine.dayPlans().setConfig(config);
        config.startMinute = minute - 60 * config.startHour;
        m_engine.dayPlans().setConfig(config);
    };
    QObject::connect(openForm, &QAbstractButton::clicked, this,
                     [this] { m_engine.morningGate().openEditor(); });
    QObject::connect(m_preview, &QAbstractButton::clicked, this, [this] { previewWall(); });
    QObject::connect(m_copy, &QAbstractButton::clicked, this, [this] {
        const auto plan = m_engine.dayPlans().today();
        if (plan && plan->isComplete()) {
            QGuiApplication::clipboard()->setText(QString::fromStdString(plan->asText()));
        }
    });
    m_storeChanged = m_engine.dayPlans().observers().subscribe([this] { refresh(); });
    m_taskChanged = m_engine.focusTaskManager().observers().subscribe([this] { refresh(); });
    refresh();
}

void MorningCardView::refresh()
{
    const DayPlanStore& store = m_engine.dayPlans();
    const MorningGateConfig& config = store.config();
    setPlainText(*m_explanation, QString::fromStdString(store.gateExplanation()));
    m_enabled->setChecked(config.enabled);
    m_start->select(
        selectedOption(MorningCard::startOptions(), config.startHour * 60 + config.startMinute));
    const auto chips = MorningCard::weekdayChips(config.activeWeekdays);
    for (std::size_t i = 0; i < chips.size(); ++i) {
        auto* button = static_cast<WeekdayButton*>(m_days[i]);
        if (button->active != chips[i].active) {
            button->active = chips[i].active;
            button->update();
        }
    }
    const auto& task = m_engine.focusTaskManager().active();
    const bool lockdown = task && task->isLockdown;
    // An open wall needs no refusal: a second preview simply does nothing.
    m_preview->setEnabled(!lockdown);
    m_preview->setToolTip(lockdown ? plainToolTip(QString::fromUtf8(MorningCard::kPreviewRefused))
                                   : QString());
    const auto plan = store.today();
    m_copy->setVisible(plan && plan->isComplete());
}

void MorningCardView::previewWall()
{
    const auto& task = m_engine.focusTaskManager().active();
    if (!MorningCard::mayPreviewWall(m_engine.morningGate().isUp(), task && task->isLockdown)) {
        return;
    }
    m_engine.morningGate().arm(true);
    refresh();
}

QString MorningCardView::explanation() const
{
    return m_explanation->text();
}

// Lockdown allowlists.

LockdownCardView::LockdownCardView(SessionEngine& engine, InstalledApps& apps, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_apps(apps),
      m_toggle(new PillButton(QStringLiteral("Edit"), {}))
{
    m_column = columnLayout(this, 12);
    auto* header = new QWidget;
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(0, 0, 0, 0);
    headerRow->addWidget(new SectionHeader(QStringLiteral("Lockdown allowlists")), 1,
                         Qt::AlignVCenter);
    headerRow->addWidget(m_toggle, 0, Qt::AlignVCenter);
    m_column->addWidget(header);
    m_column->addWidget(paragraph(QStringLiteral("Apps that are always allowed during a lockdown, "
                                                 "plus saved presets you can apply when starting "
                                                 "one."),
                                  11, KS::textSecondary()));
    QObject::connect(m_toggle, &QAbstractButton::clicked, this, [this] { toggle(); });
}

// The editor is built on first use and then only hidden, so a picker it opened never answers
// to an editor that is gone.
void LockdownCardView::toggle()
{
    if (!m_editor) {
        m_editor = new AllowlistSettings(m_engine.allowlistPresets(), m_apps);
        m_editor->hide();
        m_column->addWidget(m_editor);
    }
    const bool show = m_editor->isHidden();
    m_editor->setVisible(show);
    m_toggle->setText(show ? QStringLiteral("Hide") : QStringLiteral("Edit"));
    m_toggle->updateGeometry();
}

bool LockdownCardView::showsEditor() const
{
    return m_editor && !m_editor->isHidden();
}

// General.

GeneralCardView::GeneralCardView(SessionEngine& engine, LoginItem& loginItem, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_launchState(loginItem), m_launch(new SettingsSwitch),
      m_display(new SettingsSwitch),
      m_summaryTime(new SettingsMenu(optionLabels(GeneralCard::summaryOptions()), 84)),
      m_summary(new SettingsSwitch), m_phone(new SettingsSwitch)
{
    QVBoxLayout* column = columnLayout(this, 16);
    column->addWidget(new SectionHeader(QString::fromUtf8(GeneralCard::kTitle)));
    column->addWidget(settingRow(QStringLiteral("Launch at login"),
                                 QStringLiteral("Start tracking as soon as you sign in."),
                                 m_launch));
    column->addWidget(settingRow(QStringLiteral("Countdown overlay during lock-in"),
                                 QStringLiteral("A small pill on the right edge of the screen with "
                                                "the time left. Only while locked in."),
                                 m_display));
    auto* summary = new QWidget;
    auto* summaryRow = new QHBoxLayout(summary);
    summaryRow->setContentsMargins(0, 0, 0, 0);
    summaryRow->setSpacing(8);
    summaryRow->addWidget(m_summaryTime, 0, Qt::AlignVCenter);
    summaryRow->addWidget(m_summary, 0, Qt::AlignVCenter);
    column->addWidget(settingRow(QStringLiteral("Daily summary"),
                                 QStringLiteral("A notification with today's deep hours and a "
                                                "Share button. Post the card while the day is "
                                                "fresh."),
                                 summary));
    column->addWidget(settingRow(
        QStringLiteral("Phone Focus mirror"),
        QString::fromStdString(GeneralCard::phoneFocusDetail(m_engine.preferences())), m_phone));

    Preferences& preferences = m_engine.preferences();
    QObject::connect(m_launch, &QAbstractButton::clicked, this, [this](bool on) {
        m_launchState.change(on);
        refresh();
    });
    QObject::connect(m_display, &QAbstractButton::clicked, this, [this](bool on) {
        GeneralCard::setLockInDisplayEnabled(m_engine, on);
        refresh();
    });
    m_summaryTime->onChosen = [this, &preferences](std::size_t index) {
        preferences.setInteger(SessionEngine::kSummaryMinuteKey,
                               GeneralCard::summaryOptions()[index].value);
        refresh();
    };
    QObject::connect(m_summary, &QAbstractButton::clicked, this, [this, &preferences](bool on) {
        preferences.setBool(SessionEngine::kSummaryEnabledKey, on);
        refresh();
    });
    QObject::connect(m_phone, &QAbstractButton::clicked, this, [this, &preferences](bool on) {
        preferences.setBool(CommandFocusBridge::kEnabledKey, on);
        refresh();
    });
    refresh();
}

void GeneralCardView::refresh()
{
    const Preferences& preferences = m_engine.preferences();
    m_launch->setChecked(m_launchState.isOn());
    m_display->setChecked(m_engine.lockInDisplay().isEnabled());
    const bool summary = m_engine.summaryEnabled();
    m_summary->setChecked(summary);
    m_summaryTime->setEnabled(summary);
    m_summaryTime->select(
        selectedOption(GeneralCard::summaryOptions(), GeneralCard::summaryMinute(preferences)));
    m_phone->setChecked(GeneralCard::phoneFocusEnabled(preferences));
}

// Data.

DataCardView::DataCardView(SessionEngine& engine, FolderRevealer& revealer, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_revealer(revealer),
      m_header(new SectionHeader(QString::fromUtf8(DataCard::kTitle), m_size)),
      m_reveal(new PillButton(QStringLiteral("Show in File Manager"), {}))
{
    m_column = columnLayout(this, 12);
    m_column->addWidget(m_header);
    m_column->addWidget(paragraph(QStringLiteral("Everything stays on this computer in one SQLite "
                                                 "file that only your user account can read. "
                                                 "Nothing is sent anywhere. Open it with any "
                                                 "SQLite viewer."),
                                  11, KS::textSecondary()));
    PillButton* reset = distractionPill(QStringLiteral("Reset today"));
    PillButton* deleteAll = distractionPill(QStringLiteral("Delete all history…"));
    m_column->addWidget(buttonRow({m_reveal, reset, deleteAll}));
    QObject::connect(m_reveal, &QAbstractButton::clicked, this, [this] { reveal(); });
    QObject::connect(reset, &QAbstractButton::clicked, this, [this] { askResetToday(); });
    QObject::connect(deleteAll, &QAbstractButton::clicked, this, [this] { askDeleteAll(); });
}

void DataCardView::setSize(const QString& text)
{
    if (text == m_size) {
        return;
    }
    m_size = text;
    auto* header = new SectionHeader(QString::fromUtf8(DataCard::kTitle), m_size);
    m_column->replaceWidget(m_header, header);
    delete m_header;
    m_header = header;
}

void DataCardView::loadSize()
{
    m_engine.database().run(
        m_guard, [](Database& database) { return database.path(); },
        [this](DatabaseResult<std::string> result) {
            struct stat info = {};
            if (!result.ok() || ::stat(result.value().c_str(), &info) != 0 ||
                !S_ISREG(info.st_mode)) {
                return;
            }
            setSize(QString::fromStdString(
                DataCard::sizeText(static_cast<std::uint64_t>(info.st_size))));
        });
}

void DataCardView::reveal()
{
    // The folder of the file the engine really has open, wherever it was configured.
    m_engine.database().run(
        m_guard, [](Database& database) { return database.path(); },
        [this](DatabaseResult<std::string> result) {
            if (result.ok()) {
                m_revealer.reveal(DataCard::folderOf(result.value()));
            }
        });
}

void DataCardView::confirm(const QString& title, const QString& action, const QString& message,
                           std::function<void()> run)
{
    if (m_dialog) {
        m_dialog->close();
    }
    auto* box = new QMessageBox(QMessageBox::Warning, title, message, QMessageBox::NoButton, this);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setText(title);
    box->setInformativeText(message);
    QPushButton* destructive = box->addButton(action, QMessageBox::DestructiveRole);
    box->addButton(QMessageBox::Cancel);
    QObject::connect(box, &QMessageBox::buttonClicked, this,
                     [destructive, run = std::move(run)](QAbstractButton* clicked) {
                         if (clicked == destructive) {
                             run();
                         }
                     });
    m_dialog = box;
    box->open();
}

void DataCardView::askResetToday()
{
    confirm(QStringLiteral("Delete today's tracked time?"), QStringLiteral("Delete today"),
            QStringLiteral("Removes every segment recorded today. Other days are kept."),
            [this] { m_engine.resetToday(); });
}

void DataCardView::askDeleteAll()
{
    confirm(
        QStringLiteral("Delete all tracked history?"), QStringLiteral("Delete everything"),
        QStringLiteral("Removes every segment, lock-in session and block record ever "
                       "recorded. Projects, rules and settings stay. This cannot be undone."),
        [this] { m_engine.deleteAllHistory(m_guard.wrap<bool>([this](bool) { loadSize(); })); });
}

} // namespace kestrove
