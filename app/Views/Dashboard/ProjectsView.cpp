#include "Views/Dashboard/ProjectsView.h"

#include "Engine/SessionEngine.h"
#include "Platform/Clock.h"
#include "ViewLogic/Projects/ProjectsModel.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/StatChip.h"
#include "Views/Dashboard/BarChartView.h"
#include "Views/Dashboard/ProjectEditSheet.h"
#include "Views/Dashboard/ProjectRuleChip.h"
#include "Views/Dashboard/TodayParts.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"
#include "core/Duration.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

namespace kestrove {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

QWidget* column(int spacing, QVBoxLayout** layout)
{
    auto* widget = new QWidget;
    auto* box = new QVBoxLayout(widget);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(spacing);
    *layout = box;
    return widget;
}

// A label that gives up width rather than widening its column; long names are cut.
QLabel* shrinkingText(const QString& text, int size, QFont::Weight weight, const QColor& colour)
{
    QLabel* label = pageText(text, size, weight, colour);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    label->setMinimumWidth(0);
    return label;
}

QLabel* durationText(const QString& text, int size, const QColor& colour)
{
    QLabel* label = pageText(text, size, QFont::Medium, colour);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return label;
}

// A whole-row button of the list, highlighted when chosen; its children let clicks through.
class ListRow final : public QAbstractButton
{
public:
    explicit ListRow(bool highlighted) : m_highlighted(highlighted), m_row(new QHBoxLayout(this))
    {
        // Labels draw with the text role that goes with their parent's background role; a
        // button's would draw them all in the button's text colour.
        setBackgroundRole(QPalette::Window);
        setCursor(Qt::PointingHandCursor);
        m_row->setContentsMargins(12, 10, 12, 10);
        m_row->setSpacing(10);
    }
    QHBoxLayout* row() const { return m_row; }
    // Once the row is filled: its children let the clicks through to the button.
    void letClicksThrough()
    {
        for (QWidget* child : findChildren<QWidget*>()) {
            child->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
    }
    bool isHighlighted() const { return m_highlighted; }
    QSize sizeHint() const override { return layout()->sizeHint(); }
    QSize minimumSizeHint() const override { return {0, layout()->sizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_highlighted && !isDown()) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(rect(), 10),
                         QColor(255, 255, 255, isDown() ? 22 : 15));
    }

private:
    bool m_highlighted;
    QHBoxLayout* m_row;
};

// A window title, site or application with its deep time.
QLayout* labelRow(const LabelTime& label)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    QLabel* text = shrinkingText(qs(label.label), 12, QFont::Normal, KS::textSecondary());
    text->setObjectName("labelText");
    row->addWidget(text, 1);
    row->addWidget(durationText(qs(DurationFormat::hm(label.seconds)), 11, KS::textTertiary()));
    return row;
}

QWidget* figuresCard(const std::vector<StatFigure>& figures)
{
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(22);
    for (const StatFigure& figure : figures) {
        row->addWidget(new StatChip(qs(figure.label), qs(figure.value), KS::text()));
    }
    row->addStretch(1);
    KSCard* card = ksCard(content, 20);
    card->setObjectName("projectFigures");
    return card;
}

} // namespace

struct ProjectsView::Signature
{
    std::vector<Project> projects;
    std::optional<std::string> pinned;
    std::optional<Project> selected;
    std::vector<TimeShare> totals30;
    std::vector<DayTotal> trend;
    std::vector<LabelTime> labels;
    std::vector<LabelTime> unassignedLabels;
    double todaySeconds = 0;
    std::string error;

    bool operator==(const Signature&) const = default;
};

ProjectsView::ProjectsView(SessionEngine& engine, AppPicker pickApps, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_pickApps(std::move(pickApps)), m_loader(engine),
      m_listScroll(new QScrollArea), m_detailScroll(new QScrollArea)
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (QScrollArea* scroll : {m_listScroll, m_detailScroll}) {
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    m_listScroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listScroll->setFixedWidth(320);
    row->addWidget(m_listScroll);
    auto* divider = new QWidget;
    divider->setFixedWidth(1);
    divider->setAutoFillBackground(true);
    QPalette palette = divider->palette();
    palette.setColor(QPalette::Window, KS::border());
    divider->setPalette(palette);
    row->addWidget(divider);
    row->addWidget(m_detailScroll, 1);

    m_projectChanges = m_engine.projects().observers().subscribe([this] { projectsChanged(); });
    m_engineChanges = m_engine.observers().subscribe([this] { refreshIfChanged(); });
    rebuild();
    loadTotals();
}

ProjectsView::~ProjectsView()
{
    if (m_editor) {
        m_editor->close();
    }
}

void ProjectsView::loadTotals()
{
    if (!m_engine.isRunning()) {
        m_loadPending = true;
        return;
    }
    m_loadPending = false;
    m_loader.loadTotals(m_engine.clock().now(), [this](ProjectTotalsLoad load) {
        m_totals30 = std::move(load.totals);
        if (load.failed) {
            m_error = ProjectsTexts::kReadFailed;
        }
        refreshIfChanged();
    });
}

void ProjectsView::loadDetail()
{
    if (!m_selected || !m_engine.isRunning()) {
        return;
    }
    m_loader.loadDetail(m_selected->name, m_engine.clock().now(), [this](ProjectDetailLoad load) {
        m_trend = std::move(load.trend);
        m_labels = std::move(load.labels);
        if (load.failed) {
            m_error = ProjectsTexts::kReadFailed;
        }
        refreshIfChanged();
    });
}

void ProjectsView::select(const Project& project)
{
    m_selected = project;
    m_error.clear();
    refreshIfChanged();
    loadDetail();
}

void ProjectsView::selectUnassigned()
{
    m_selected.reset();
    m_error.clear();
    refreshIfChanged();
    if (!m_engine.isRunning()) {
        return;
    }
    m_loader.loadUnassigned(m_engine.clock().now(), [this](UnassignedLoad load) {
        m_unassignedLabels = std::move(load.labels);
        if (load.failed) {
            m_error = ProjectsTexts::kReadFailed;
        }
        refreshIfChanged();
    });
}

void ProjectsView::projectsChanged()
{
    // The selection follows the stored project: a renamed one is shown, and read, under its
    // new name; a deleted one is no longer shown.
    if (m_selected) {
        m_selected = m_engine.projects().projectWithID(m_selected->id);
        if (!m_selected) {
            m_trend.clear();
            m_labels.clear();
        }
    }
    refreshIfChanged();
    // On a later turn: an editor that saved sends its history rewrite right after the store
    // changes, and the reads must come after it.
    QTimer::singleShot(0, this, [this] {
        loadTotals();
        loadDetail();
    });
}

void ProjectsView::rewriteHistory(const HistoryRename& rename)
{
    renameProjectHistory(m_engine, rename, m_guard, [this](std::optional<std::string> error) {
        if (error) {
            m_error = "The project's history could not be updated: " + *error;
        }
        loadTotals();
        loadDetail();
        refreshIfChanged();
    });
}

ProjectEditSheet* ProjectsView::openEditor(std::optional<Project> project)
{
    if (m_editor) {
        m_editor->close();
    }
    m_editor = new ProjectEditSheet(
        m_engine, std::move(project),
        {m_pickApps, [this](const HistoryRename& rename) { rewriteHistory(rename); }}, this);
    m_editor->setAttribute(Qt::WA_DeleteOnClose);
    m_editor->open();
    return m_editor;
}

ProjectEditSheet* ProjectsView::editor() const
{
    return m_editor;
}

ProjectsView::Signature ProjectsView::signature() const
{
    Signature s;
    s.projects = m_engine.projects().projects();
    s.pinned = m_engine.projects().pinnedProjectID();
    s.selected = m_selected;
    s.totals30 = m_totals30;
    s.trend = m_trend;
    s.labels = m_labels;
    s.unassignedLabels = m_unassignedLabels;
    if (m_selected) {
        s.todaySeconds = todaySecondsFor(m_engine.today(), m_selected->name);
    }
    s.error = m_error;
    return s;
}

void ProjectsView::refreshIfChanged()
{
    if (m_loadPending && m_engine.isRunning()) {
        m_loadPending = false;
        QTimer::singleShot(0, this, [this] { loadTotals(); });
    }
    if (m_lastSignature && *m_lastSignature == signature()) {
        return;
    }
    rebuild();
}

void ProjectsView::rebuild()
{
    m_lastSignature = std::make_unique<Signature>(signature());
    const int listScrolled = m_listScroll->verticalScrollBar()->value();
    const int detailScrolled = m_detailScroll->verticalScrollBar()->value();
    m_listContent = buildList();
    m_listScroll->setWidget(m_listContent);
    m_listScroll->verticalScrollBar()->setValue(listScrolled);
    m_detailContent = buildDetail();
    m_detailScroll->setWidget(m_detailContent);
    m_detailScroll->setVerticalScrollBarPolicy(!m_selected && !m_unassignedLabels.empty()
                                                   ? Qt::ScrollBarAsNeeded
                                                   : Qt::ScrollBarAlwaysOff);
    m_detailScroll->verticalScrollBar()->setValue(detailScrolled);
}

QWidget* ProjectsView::buildList()
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = column(18, &stack);
    stack->setContentsMargins(24, 40, 24, 32);

    auto* header = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    titles->addWidget(new Eyebrow(ProjectsTexts::kEyebrow, KS::textTertiary()));
    titles->addWidget(pageText("Projects", 24, QFont::Bold, KS::text()));
    header->addLayout(titles);
    header->addStretch(1);
    auto* add = new PartsPill(
        {{"plus", {}, KS::ink(), true, 10}, {"New", PillButtonStyle::font(), KS::ink()}}, {true});
    add->setObjectName("newProject");
    connect(add, &QPushButton::clicked, this, [this] { openEditor(std::nullopt); });
    header->addWidget(add, 0, Qt::AlignBottom);
    stack->addLayout(header);

    if (!m_error.empty()) {
        QLabel* error = pageText(qs(m_error), 12, QFont::Normal, KS::shallow(), true);
        error->setObjectName("errorLine");
        stack->addWidget(error);
    }

    const std::vector<Project> active = m_engine.projects().activeProjects();
    if (active.empty()) {
        QVBoxLayout* empty = nullptr;
        QWidget* emptyContent = column(8, &empty);
        empty->addWidget(pageText(ProjectsTexts::kEmptyTitle, 13, QFont::DemiBold, KS::text()));
        empty->addWidget(pageText(ProjectsTexts::kEmptyExplanation, 12, QFont::Normal,
                                  KS::textSecondary(), true));
        KSCard* card = ksCard(emptyContent, 18);
        card->setObjectName("noProjects");
        stack->addWidget(card);
    }

    for (const ProjectGroup& group : groupedProjects(active, m_totals30)) {
        QVBoxLayout* block = nullptr;
        QWidget* blockWidget = column(6, &block);
        if (group.header) {
            auto* eyebrow = new Eyebrow(qs(*group.header), KS::textTertiary());
            eyebrow->setObjectName("areaHeader");
            auto* inset = new QHBoxLayout;
            inset->setContentsMargins(4, 0, 0, 0);
            inset->addWidget(eyebrow);
            block->addLayout(inset);
        }
        for (const Project& project : group.projects) {
            const double seconds = secondsNamed(m_totals30, project.name);
            auto* button = new ListRow(m_selected && m_selected->id == project.id);
            QHBoxLayout* row = button->row();
            row->addWidget(new ProjectDot(project.color, 8), 0, Qt::AlignVCenter);
            auto* texts = new QVBoxLayout;
            texts->setSpacing(2);
            QLabel* name = shrinkingText(qs(project.name), 13, QFont::Medium, KS::text());
            name->setObjectName("projectName");
            texts->addWidget(name);
            texts->addWidget(pageText(qs(ruleCountText(project.rules.size())), 11, QFont::Normal,
                                      KS::textTertiary()));
            row->addLayout(texts, 1);
            row->addWidget(durationText(qs(DurationFormat::hm(seconds)), 12,
                                        seconds > 0 ? KS::textSecondary() : KS::textTertiary()));
            button->letClicksThrough();
            button->setObjectName("projectRow");
            button->setAccessibleName(qs(project.name));
            connect(button, &QAbstractButton::clicked, this, [this, project] { select(project); });
            block->addWidget(button);
        }
        stack->addWidget(blockWidget);
    }

    if (const auto seconds = unassignedRowSeconds(m_totals30)) {
        auto* button = new ListRow(!m_selected && !m_unassignedLabels.empty());
        QHBoxLayout* row = button->row();
        row->addWidget(new ProjectDot(std::nullopt, 8), 0, Qt::AlignVCenter);
        row->addWidget(pageText("Unassigned", 13, QFont::Normal, KS::textSecondary()), 1);
        row->addWidget(durationText(qs(DurationFormat::hm(*seconds)), 12, KS::textTertiary()));
        button->letClicksThrough();
        button->setObjectName("unassignedRow");
        connect(button, &QAbstractButton::clicked, this, [this] { selectUnassigned(); });
        stack->addWidget(button);
    }
    stack->addStretch(1);
    return content;
}

QWidget* ProjectsView::buildDetail()
{
    if (m_selected) {
        return projectDetail(*m_selected);
    }
    if (!m_unassignedLabels.empty()) {
        return unassignedPane();
    }
    return placeholder();
}

QWidget* ProjectsView::projectDetail(const Project& project)
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = column(22, &stack);
    content->setObjectName("projectDetail");
    stack->setContentsMargins(32, 40, 32, 32);

    auto* title = new QHBoxLayout;
    title->setSpacing(8);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    auto* eyebrow = new Eyebrow(qs(detailEyebrow(project)), KS::textTertiary());
    eyebrow->setObjectName("detailEyebrow");
    titles->addWidget(eyebrow);
    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(10);
    nameRow->addWidget(new ProjectDot(project.color, 12), 0, Qt::AlignVCenter);
    QLabel* name = shrinkingText(qs(project.name), 24, QFont::Bold, KS::text());
    name->setObjectName("detailName");
    nameRow->addWidget(name, 1);
    titles->addLayout(nameRow);
    title->addLayout(titles, 1);
    const bool pinned = m_engine.projects().pinnedProjectID() == project.id;
    PartsPill* pin = nullptr;
    if (pinned) {
        pin = new PartsPill(
            {{"pin.fill", {}, KS::ink(), true, 11}, {"Pinned", PillButtonStyle::font(), KS::ink()}},
            {true});
        connect(pin, &QPushButton::clicked, this, [this] { m_engine.pinProject(std::nullopt); });
    } else {
        pin = new PartsPill({{"pin", {}, KS::text(), true, 11},
                             {"Pin as current", PillButtonStyle::font(), KS::text()}},
                            {false});
        pin->setToolTip(plainToolTip(ProjectsTexts::kPinTooltip));
        connect(pin, &QPushButton::clicked, this,
                [this, id = project.id] { m_engine.pinProject(id); });
    }
    pin->setObjectName("pin");
    title->addWidget(pin, 0, Qt::AlignBottom);
    auto* edit = new PartsPill(
        {{"pencil", {}, KS::text(), true, 11}, {"Edit", PillButtonStyle::font(), KS::text()}},
        {false});
    edit->setObjectName("edit");
    connect(edit, &QPushButton::clicked, this, [this, project] { openEditor(project); });
    title->addWidget(edit, 0, Qt::AlignBottom);
    stack->addLayout(title);

    stack->addWidget(
        figuresCard(projectFigures(m_trend, todaySecondsFor(m_engine.today(), project.name))));

    QVBoxLayout* chartStack = nullptr;
    QWidget* chartContent = column(12, &chartStack);
    chartStack->addWidget(new SectionHeader(ProjectsTexts::kChartTitle));
    BarChartView::Style style;
    style.colour = KS::projectColor(project.color);
    style.currentOpacity = 1.0;
    style.otherOpacity = 0.7;
    style.cornerRadius = 2;
    style.barRatio = 0.7;
    style.categoryLabelSize = 9;
    style.categoryLabelColour = KS::textTertiary();
    auto* chart = new BarChartView(projectChart(m_trend, m_engine.clock().now()), style, 150);
    chart->setObjectName("projectChart");
    chartStack->addWidget(chart);
    stack->addWidget(ksCard(chartContent, 18));

    QVBoxLayout* rulesStack = nullptr;
    QWidget* rulesContent = column(12, &rulesStack);
    rulesStack->addWidget(new SectionHeader("Rules", QString(ProjectsTexts::kRulesTrailing)));
    if (project.rules.empty()) {
        rulesStack->addWidget(new EmptyHint(ProjectsTexts::kNoRules));
    } else {
        auto* chips = new QWidget;
        auto* flow = new FlowLayout(8, chips);
        for (const ProjectRule& rule : project.rules) {
            flow->addWidget(new ProjectRuleChip(rule));
        }
        rulesStack->addWidget(chips);
    }
    KSCard* rulesCard = ksCard(rulesContent, 18);
    rulesCard->setObjectName("rulesCard");
    stack->addWidget(rulesCard);

    QVBoxLayout* workedStack = nullptr;
    QWidget* workedContent = column(12, &workedStack);
    workedStack->addWidget(new SectionHeader(ProjectsTexts::kWorkedOnTitle,
                                             QString(ProjectsTexts::kWorkedOnTrailing)));
    if (m_labels.empty()) {
        workedStack->addWidget(new EmptyHint(ProjectsTexts::kNothingAttributed));
    }
    for (const LabelTime& label : m_labels) {
        workedStack->addLayout(labelRow(label));
    }
    stack->addWidget(ksCard(workedContent, 18));
    stack->addStretch(1);
    return content;
}

QWidget* ProjectsView::unassignedPane()
{
    QVBoxLayout* stack = nullptr;
    QWidget* content = column(22, &stack);
    content->setObjectName("unassignedPane");
    stack->setContentsMargins(32, 40, 32, 32);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(4);
    titles->addWidget(new Eyebrow(ProjectsTexts::kEyebrow, KS::textTertiary()));
    titles->addWidget(pageText(ProjectsTexts::kUnassignedTitle, 24, QFont::Bold, KS::text()));
    titles->addWidget(
        pageText(ProjectsTexts::kUnassignedDetail, 12, QFont::Normal, KS::textSecondary(), true));
    stack->addLayout(titles);
    QVBoxLayout* rows = nullptr;
    QWidget* rowsContent = column(10, &rows);
    for (const LabelTime& label : m_unassignedLabels) {
        rows->addLayout(labelRow(label));
    }
    stack->addWidget(ksCard(rowsContent, 18));
    stack->addStretch(1);
    return content;
}

QWidget* ProjectsView::placeholder()
{
    auto* content = new QWidget;
    content->setObjectName("placeholder");
    auto* stack = new QVBoxLayout(content);
    stack->setSpacing(10);
    stack->addStretch(1);
    auto* symbol = new SymbolView("square.grid.2x2", 28, KS::textTertiary());
    stack->addWidget(symbol, 0, Qt::AlignHCenter);
    QLabel* text = pageText(ProjectsTexts::kPlaceholder, 13, QFont::Normal, KS::textTertiary());
    text->setAlignment(Qt::AlignHCenter);
    stack->addWidget(text, 0, Qt::AlignHCenter);
    stack->addStretch(1);
    return content;
}

QStringList ProjectsView::texts(QWidget* root) const
{
    QStringList result;
    if (!root) {
        return result;
    }
    for (const QWidget* widget : root->findChildren<QWidget*>()) {
        if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            result << label->text();
        } else if (const auto* eyebrow = dynamic_cast<const Eyebrow*>(widget)) {
            result << eyebrow->shownText();
        } else if (const auto* header = dynamic_cast<const SectionHeader*>(widget)) {
            result << header->title();
        } else if (const auto* chip = dynamic_cast<const StatChip*>(widget)) {
            result << chip->label() + ": " + chip->value();
        }
    }
    return result;
}

} // namespace kestrove
