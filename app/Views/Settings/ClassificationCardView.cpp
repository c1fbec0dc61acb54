#include "Engine/SessionEngine.h"
#include "ViewLogic/Settings/ClassificationModel.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/Hairline.h"
#include "Views/Components/InfoTip.h"
#include "Views/Components/KindDot.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/Shapes.h"
#include "Views/PlainText.h"
#include "Views/Settings/SettingsPane.h"
#include "Views/Settings/SettingsRows.h"
#include "Views/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace kestrove {

namespace {

constexpr const char* kNameProperty = "rowName";
constexpr const char* kDetailProperty = "rowDetail";

} // namespace

ClassificationCardView::ClassificationCardView(SessionEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_filter(new QLineEdit), m_rows(new QVBoxLayout),
      m_rule(new QLineEdit), m_ruleKind(kindMenu(120)),
      m_add(new PillButton(QStringLiteral("Add"), {})), m_chips(new QWidget)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(12);

    auto* header = new QWidget;
    QHBoxLayout* headerRow = rowLayout(header, 8);
    headerRow->addWidget(new SectionHeader(QString::fromUtf8(ClassificationCard::kTitle),
                                           QString::fromUtf8(ClassificationCard::kTrailing)),
                         1);
    headerRow->addWidget(new InfoTip(
        QStringLiteral("Classification"),
        QStringLiteral("Every app and website gets a kind: deep, shallow, distraction or neutral. "
                       "Browsers are classified by the site you are on, not by the browser. "
                       "Change any row here; the change applies from now on.")));
    column->addWidget(header);

    auto* filterBox = new RoundedGround(8);
    QHBoxLayout* filterRow = rowLayout(filterBox, 8);
    filterRow->setContentsMargins(8, 8, 8, 8);
    filterRow->addWidget(
        new RitualSymbol(QStringLiteral("magnifyingglass"), KS::textTertiary(), 12));
    m_filter->setPlaceholderText(QStringLiteral("Filter"));
    m_filter->setFrame(false);
    m_filter->setFont(uiFont(12));
    m_filter->setStyleSheet(QStringLiteral("background: transparent;"));
    filterRow->addWidget(m_filter, 1);
    column->addWidget(filterBox);

    m_rows->setContentsMargins(0, 0, 0, 0);
    m_rows->setSpacing(8);
    column->addLayout(m_rows);

    auto* divider = new QWidget;
    auto* dividerLayout = new QVBoxLayout(divider);
    dividerLayout->setContentsMargins(0, 4, 0, 4);
    dividerLayout->addWidget(hairline(KS::border()));
    column->addWidget(divider);

    auto* adder = new QWidget;
    QHBoxLayout* adderRow = rowLayout(adder, 8);
    auto* text = new QWidget;
    auto* textColumn = new QVBoxLayout(text);
    textColumn->setContentsMargins(0, 0, 0, 0);
    textColumn->setSpacing(2);
    textColumn->addWidget(
        textLabel(QStringLiteral("Site rule by path"), 12, QFont::DemiBold, KS::text()));
    QLabel* help = textLabel(QStringLiteral("Longest match wins: %1 can be deep work while "
                                            "github.com stays shallow.")
                                 .arg(QString::fromUtf8(ClassificationCard::kRuleExample)),
                             11, QFont::Normal, KS::textTertiary());
    help->setWordWrap(true);
    textColumn->addWidget(help);
    adderRow->addWidget(text, 1);
    m_rule->setPlaceholderText(QString::fromUtf8(ClassificationCard::kRuleExample));
    m_rule->setFixedWidth(200);
    m_rule->setFont(uiFont(12));
    adderRow->addWidget(m_rule);
    adderRow->addWidget(m_ruleKind);
    adderRow->addWidget(m_add);
    column->addWidget(adder);
    m_ruleKind->select(kindIndex(ContextKind::deep));

    (new FlowLayout(6, m_chips))->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_chips);

    QObject::connect(m_filter, &QLineEdit::textChanged, this, [this] { rebuildRows(); });
    QObject::connect(m_rule, &QLineEdit::textChanged, this, [this](const QString& value) {
        m_add->setEnabled(ClassificationCard::mayAddSiteRule(value.toStdString()));
    });
    QObject::connect(m_rule, &QLineEdit::returnPressed, this, [this] { addSiteRule(); });
    QObject::connect(m_add, &QAbstractButton::clicked, this, [this] { addSiteRule(); });
    m_add->setEnabled(false);
    m_overridesChanged = m_engine.projects().observers().subscribe([this] {
        rebuildRows();
        rebuildChips();
    });
    rebuildRows();
    rebuildChips();
}

void ClassificationCardView::setSeen(std::vector<SeenContext> seen)
{
    m_seen = std::move(seen);
    rebuildRows();
}

void ClassificationCardView::addSiteRule()
{
    const auto key = ClassificationCard::siteRuleKey(m_rule->text().toStdString());
    if (!key) {
        return; // the text stays for the user to correct
    }
    const int chosen = std::max(0, m_ruleKind->currentIndex());
    m_engine.projects().setOverride(*key,
                                    ContextKinds::assignable[static_cast<std::size_t>(chosen)]);
    m_rule->clear();
}

void ClassificationCardView::rebuildRows()
{
    // Later, not at once: a row's own menu may be what changed the overrides.
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    const auto shown = ClassificationCard::filtered(m_seen, m_filter->text().toStdString());
    if (shown.empty()) {
        m_rows->addWidget(new EmptyHint(QString::fromUtf8(ClassificationCard::kEmpty)));
        return;
    }
    const auto& overrides = m_engine.projects().overrides();
    for (const SeenContext& entry : shown) {
        const ClassificationCard::Row model = ClassificationCard::row(entry, overrides);
        auto* line = new QWidget;
        QHBoxLayout* layout = rowLayout(line, 10);
        layout->addWidget(new KindDot(model.kind, 7), 0, Qt::AlignVCenter);
        auto* symbol =
            new RitualSymbol(entry.isDomain ? QStringLiteral("globe") : QStringLiteral("app"),
                             KS::textTertiary(), 10);
        symbol->setFixedWidth(12);
        layout->addWidget(symbol, 0, Qt::AlignVCenter);
        auto* text = new QWidget;
        auto* textColumn = new QVBoxLayout(text);
        textColumn->setContentsMargins(0, 0, 0, 0);
        textColumn->setSpacing(1);
        QLabel* name =
            textLabel(QString::fromStdString(entry.displayName), 12, QFont::Medium, KS::text());
        name->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        textColumn->addWidget(name);
        textColumn->addWidget(
            textLabel(QString::fromStdString(model.detail), 10, QFont::Normal, KS::textTertiary()));
        layout->addWidget(text, 1);
        SettingsMenu* menu = kindMenu(120);
        menu->select(kindIndex(model.kind));
        menu->onChosen = [this, entry](std::size_t index) {
            m_engine.projects().setOverride(
                entry.key, ClassificationCard::overrideFor(entry, ContextKinds::assignable[index]));
        };
        layout->addWidget(menu, 0, Qt::AlignVCenter);
        line->setProperty(kNameProperty, QString::fromStdString(entry.displayName));
        line->setProperty(kDetailProperty, QString::fromStdString(model.detail));
        m_rows->addWidget(line);
    }
}

void ClassificationCardView::rebuildChips()
{
    QLayout* flow = m_chips->layout();
    while (QLayoutItem* item = flow->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    const auto& overrides = m_engine.projects().overrides();
    const auto rules = ClassificationCard::siteRules(overrides);
    for (const std::string& key : rules) {
        flow->addWidget(
            new RemovableChip(QString::fromStdString(key), overrides.at(key),
                              [this, key] { m_engine.projects().setOverride(key, std::nullopt); }));
    }
    m_chips->setVisible(!rules.empty());
}

std::vector<ClassificationCardView::ShownRow> ClassificationCardView::shownRows() const
{
    std::vector<ShownRow> rows;
    for (int i = 0; i < m_rows->count(); ++i) {
        QWidget* line = m_rows->itemAt(i)->widget();
        if (!line || !line->property(kNameProperty).isValid()) {
            continue;
        }
        rows.push_back({line->property(kNameProperty).toString(),
                        line->property(kDetailProperty).toString(),
                        static_cast<SettingsMenu*>(line->findChild<QComboBox*>())});
    }
    return rows;
}

std::vector<RemovableChip*> ClassificationCardView::ruleChips() const
{
    std::vector<RemovableChip*> chips;
    for (int i = 0; i < m_chips->layout()->count(); ++i) {
        chips.push_back(static_cast<RemovableChip*>(m_chips->layout()->itemAt(i)->widget()));
    }
    return chips;
}

bool ClassificationCardView::showsEmptyHint() const
{
    return m_rows->count() == 1 && dynamic_cast<EmptyHint*>(m_rows->itemAt(0)->widget()) != nullptr;
}

} // namespace kestrove
