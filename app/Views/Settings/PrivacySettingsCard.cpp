#include "Engine/PrivacyStore.h"
#include "Engine/SessionEngine.h"
#include "Platform/InstalledApps.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/Hairline.h"
#include "Views/Components/InfoTip.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/Shapes.h"
#include "Views/Focus/FocusParts.h"
#include "Views/PlainText.h"
#include "Views/Settings/SettingsPane.h"
#include "Views/Settings/SettingsRows.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

#include <algorithm>

namespace kestrove {

namespace {

class Dot final : public QWidget
{
public:
    Dot() { setFixedSize(8, 13); }
    void setColour(const QColor& colour)
    {
        if (colour != m_colour) {
            m_colour = colour;
            update();
        }
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_colour);
        painter.drawEllipse(QRectF(0, 5, 8, 8));
    }

private:
    QColor m_colour = KS::success();
};

// Later, not at once: a chip's own click may be what changed the list.
void clear(QWidget* list)
{
    while (QLayoutItem* item = list->layout()->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
}

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

} // namespace

PrivacySettingsCard::PrivacySettingsCard(SessionEngine& engine, InstalledApps& apps,
                                         AppPicker pickApps, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_apps(apps), m_pickApps(std::move(pickApps)),
      m_names(apps), m_liveDot(new Dot),
      m_liveTitle(textLabel({}, 13, QFont::DemiBold, KS::text())),
      m_liveLine(textLabel({}, 11, QFont::Medium, KS::textSecondary())),
      m_restore(new PillButton(QStringLiteral("Restore defaults"), {})),
      m_addApp(new PillButton(QStringLiteral("Add app…"), {})), m_appList(new QWidget),
      m_domain(new QLineEdit), m_addDomain(new PillButton(QStringLiteral("Add"), {})),
      m_domainList(new QWidget), m_titles(new SettingsSwitch),
      m_retention(new SettingsMenu({}, 100))
{
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);

    auto* header = new QWidget;
    auto* headerRow = new QHBoxLayout(header);
    headerRow->setContentsMargins(0, 0, 0, 0);
    headerRow->addWidget(new SectionHeader(QString::fromUtf8(PrivacyCard::kTitle),
                                           QString::fromUtf8(PrivacyCard::kTrailing)),
                         1);
    headerRow->addWidget(new InfoTip(QString::fromUtf8(PrivacyCard::kTipTitle),
                                     QString::fromUtf8(PrivacyCard::kTipDetail)));
    column->addWidget(header);

    auto* live = new RoundedGround(10);
    auto* liveRow = new QHBoxLayout(live);
    liveRow->setContentsMargins(10, 10, 10, 10);
    liveRow->setSpacing(10);
    liveRow->addWidget(m_liveDot, 0, Qt::AlignTop);
    auto* liveText = new QVBoxLayout;
    liveText->setSpacing(2);
    liveText->addWidget(m_liveTitle);
    QFont mono = uiFont(11, QFont::Medium);
    mono.setFamily(QStringLiteral("DejaVu Sans Mono"));
    mono.setStyleHint(QFont::Monospace);
    m_liveLine->setFont(mono);
    m_liveLine->setWordWrap(true);
    QSizePolicy linePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    linePolicy.setHeightForWidth(true);
    m_liveLine->setSizePolicy(linePolicy);
    m_liveLine->setMaximumHeight(QFontMetrics(mono).lineSpacing() * 2 + 2);
    liveText->addWidget(m_liveLine);
    liveRow->addLayout(liveText, 1);
    column->addWidget(live);

    auto* appsHeader = new QWidget;
    auto* appsRow = new QHBoxLayout(appsHeader);
    appsRow->setContentsMargins(0, 0, 0, 0);
    appsRow->addWidget(titleDetail(QStringLiteral("Private apps"),
                                   QStringLiteral("Only the app name and the time are kept. No "
                                                  "window title, no project hint.")),
                       1);
    appsRow->addWidget(m_restore, 0, Qt::AlignVCenter);
    appsRow->addWidget(m_addApp, 0, Qt::AlignVCenter);
    auto* appsBox = new QWidget;
    auto* appsColumn = new QVBoxLayout(appsBox);
    appsColumn->setContentsMargins(0, 0, 0, 0);
    appsColumn->setSpacing(8);
    appsColumn->addWidget(appsHeader);
    auto* appListLayout = new QVBoxLayout(m_appList);
    appListLayout->setContentsMargins(0, 0, 0, 0);
    appsColumn->addWidget(m_appList);
    column->addWidget(appsBox);
    column->addWidget(hairline(KS::border()));

    auto* sitesHeader = new QWidget;
    auto* sitesRow = new QHBoxLayout(sitesHeader);
    sitesRow->setContentsMargins(0, 0, 0, 0);
    sitesRow->setSpacing(8);
    sitesRow->addWidget(titleDetail(QStringLiteral("Private sites"),
                                    QStringLiteral("Not even the domain is kept for these. The "
                                                   "time still counts.")),
                        1);
    m_domain->setPlaceholderText(QString::fromUtf8(PrivacyCard::kSitePlaceholder));
    m_domain->setFixedWidth(180);
    m_domain->setFont(uiFont(12));
    sitesRow->addWidget(m_domain, 0, Qt::AlignVCenter);
    sitesRow->addWidget(m_addDomain, 0, Qt::AlignVCenter);
    auto* sitesBox = new QWidget;
    auto* sitesColumn = new QVBoxLayout(sitesBox);
    sitesColumn->setContentsMargins(0, 0, 0, 0);
    sitesColumn->setSpacing(8);
    sitesColumn->addWidget(sitesHeader);
    (new FlowLayout(6, m_domainList))->setContentsMargins(0, 0, 0, 0);
    sitesColumn->addWidget(m_domainList);
    QLabel* incognito = textLabel(QString::fromUtf8(PrivacyCard::kIncognitoNote), 11, QFont::Normal,
                                  KS::textTertiary());
    incognito->setWordWrap(true);
    sitesColumn->addWidget(incognito);
    column->addWidget(sitesBox);
    column->addWidget(hairline(KS::border()));

    column->addWidget(settingRow(QStringLiteral("Store page titles from browsers"),
                                 QStringLiteral("Off: websites are recorded as a domain only "
                                                "(%1). On: the tab title is kept too.")
                                     .arg(QString::fromUtf8(PrivacyCard::kTitleExample)),
                                 m_titles));
    for (const auto& option : PrivacyCard::retentionOptions()) {
        m_retention->addItem(qs(option.label));
    }
    column->addWidget(settingRow(QStringLiteral("Keep window titles for"),
                                 QStringLiteral("Older titles are erased. Time, apps, sites and "
                                                "projects are kept."),
                                 m_retention));

    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->addWidget(ksCard(content, SettingsPage::kCardPadding));

    PrivacyStore& store = m_engine.privacy();
    QObject::connect(m_restore, &QAbstractButton::clicked, this,
                     [&store] { store.restoreDefaultPrivateApps(); });
    QObject::connect(m_addApp, &QAbstractButton::clicked, this, [this] { openPicker(); });
    QObject::connect(m_domain, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_field.setText(text.toStdString());
        m_addDomain->setEnabled(m_field.mayAdd());
    });
    QObject::connect(m_domain, &QLineEdit::returnPressed, this, [this] { addDomain(); });
    QObject::connect(m_addDomain, &QAbstractButton::clicked, this, [this] { addDomain(); });
    QObject::connect(m_titles, &QAbstractButton::clicked, this,
                     [this, &store](bool on) { store.setStoreBrowserTitles(on); });
    m_retention->onChosen = [&store](std::size_t index) {
        store.setTitleRetentionDays(PrivacyCard::retentionOptions()[index].tag);
    };
    m_addDomain->setEnabled(false);
    m_storeChanged = store.observers().subscribe([this] { rebuild(); });
    m_appsChanged = m_apps.observers().subscribe([this] { rebuild(); });
    rebuild();
    tick();
}

void PrivacySettingsCard::tick()
{
    const bool paused = m_engine.tracker().isPaused();
    static_cast<Dot*>(m_liveDot)->setColour(paused ? KS::shallow() : KS::success());
    const QString title = qs(PrivacyCard::recordingTitle(paused));
    if (m_liveTitle->text() != title) {
        setPlainText(*m_liveTitle, title);
    }
    const QString line = qs(PrivacyCard::recordingLine(paused, m_engine.tracker().open()));
    if (m_liveLine->text() != line) {
        setPlainText(*m_liveLine, line);
    }
}

void PrivacySettingsCard::addDomain()
{
    // A text the store would refuse stays in the field to be corrected.
    if (m_field.submit(m_engine.privacy())) {
        m_domain->clear();
    }
}

void PrivacySettingsCard::openPicker()
{
    if (!m_pickApps) {
        return;
    }
    m_pickApps(
        m_addApp, QStringLiteral("Private apps"), m_engine.privacy().privateBundleIDs(),
        [this](const std::set<std::string>& chosen) { m_engine.privacy().setPrivateApps(chosen); });
}

void PrivacySettingsCard::rebuild()
{
    const PrivacyStore& store = m_engine.privacy();
    const auto& ids = store.privateBundleIDs();
    m_restore->setVisible(PrivacyCard::differsFromDefaults(ids));

    clear(m_appList);
    if (ids.empty()) {
        m_appList->layout()->addWidget(
            new EmptyHint(QString::fromUtf8(PrivacyCard::kNoPrivateApps)));
    } else {
        auto* chips = new QWidget;
        auto* flow = new FlowLayout(6, chips);
        flow->setContentsMargins(0, 0, 0, 0);
        const auto name = [this](const std::string& id) { return m_names(id); };
        for (const std::string& id : PrivacyCard::orderedApps(ids, name)) {
            flow->addWidget(new AppChip(appIcon(m_apps.icon(id)), qs(m_names(id)), 6,
                                        [this, id] { m_engine.privacy().removePrivateApp(id); }));
        }
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        chips->setSizePolicy(policy);
        m_appList->layout()->addWidget(chips);
    }

    clear(m_domainList);
    for (const std::string& domain : store.privateDomains()) {
        m_domainList->layout()->addWidget(
            new RemovableChip(qs(domain), std::nullopt,
                              [this, domain] { m_engine.privacy().removePrivateDomain(domain); }));
    }
    m_domainList->setVisible(!store.privateDomains().empty());

    m_titles->setChecked(store.storeBrowserTitles());
    const int tag = PrivacyCard::retentionTag(store.titleRetentionDays());
    std::optional<std::size_t> index;
    const auto options = PrivacyCard::retentionOptions();
    for (std::size_t i = 0; i < options.size(); ++i) {
        if (options[i].tag == tag) {
            index = i;
        }
    }
    m_retention->select(index);
}

QString PrivacySettingsCard::liveTitle() const
{
    return m_liveTitle->text();
}

QString PrivacySettingsCard::liveLine() const
{
    return m_liveLine->text();
}

std::vector<QString> PrivacySettingsCard::appChipNames() const
{
    std::vector<QString> names;
    // AppChip has no meta-object of its own, so it is told apart by its C++ type.
    for (QWidget* child : m_appList->findChildren<QWidget*>()) {
        if (const auto* chip = dynamic_cast<const AppChip*>(child)) {
            names.push_back(chip->name());
        }
    }
    return names;
}

std::vector<QString> PrivacySettingsCard::domainChipNames() const
{
    std::vector<QString> names;
    for (int i = 0; i < m_domainList->layout()->count(); ++i) {
        names.push_back(
            static_cast<RemovableChip*>(m_domainList->layout()->itemAt(i)->widget())->label());
    }
    return names;
}

bool PrivacySettingsCard::showsNoAppsHint() const
{
    const auto children = m_appList->findChildren<QWidget*>();
    return std::any_of(children.begin(), children.end(),
                       [](QWidget* child) { return dynamic_cast<EmptyHint*>(child) != nullptr; });
}

} // namespace kestrove
