#include "Views/Dashboard/ProjectEditSheet.h"

#include "Engine/SessionEngine.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/Symbol.h"
#include "Views/Dashboard/ProjectRuleChip.h"
#include "Views/Dashboard/TodayParts.h"
#include "Views/Theme.h"
#include "core/Uuid.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace kestrove {

namespace {

QString qs(const std::string& text)
{
    return QString::fromStdString(text);
}

// A colour of the palette as a round button, ringed when chosen.
class Swatch final : public QAbstractButton
{
public:
    Swatch(const std::string& key, bool chosen) : m_key(key), m_chosen(chosen)
    {
        setFixedSize(22, 22);
        setCursor(Qt::PointingHandCursor);
        setToolTip(qs(key));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF circle(2, 2, 18, 18);
        painter.setPen(Qt::NoPen);
        painter.setBrush(KS::projectColor(m_key));
        painter.drawEllipse(circle);
        if (m_chosen) {
            painter.setBrush(Qt::NoBrush);
            painter.setPen(QPen(KS::text(), 2));
            painter.drawEllipse(circle.adjusted(1, 1, -1, -1));
        }
    }

private:
    std::string m_key;
    bool m_chosen;
};

QLineEdit* field(const QString& placeholder)
{
    auto* edit = new QLineEdit;
    edit->setPlaceholderText(placeholder);
    edit->setFont(uiFont(13));
    return edit;
}

QVBoxLayout* labelled(const char* eyebrow, int spacing = 6)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(spacing);
    column->addWidget(new Eyebrow(eyebrow, KS::textTertiary()));
    return column;
}

} // namespace

ProjectEditSheet::ProjectEditSheet(SessionEngine& engine, std::optional<Project> project,
                                   Hooks hooks, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_hooks(std::move(hooks)),
      m_editor(std::move(project), engine.projects().nextColor())
{
    setWindowTitle(qs(m_editor.title()));
    setModal(true);
    setFixedWidth(620);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, KS::ink());
    setPalette(palette);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(22, 22, 22, 22);
    column->setSpacing(18);

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    QLabel* title = pageText(qs(m_editor.title()), 18, QFont::Bold, KS::text());
    title->setObjectName("editorTitle");
    header->addWidget(title);
    header->addStretch(1);
    auto* cancel = new PillButton("Cancel", {false});
    cancel->setObjectName("cancel");
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    header->addWidget(cancel);
    m_save = new PillButton(qs(m_editor.saveLabel()), {true});
    m_save->setObjectName("save");
    connect(m_save, &QPushButton::clicked, this, [this] { save(); });
    header->addWidget(m_save);
    column->addLayout(header);

    auto* identity = new QHBoxLayout;
    identity->setSpacing(12);
    QVBoxLayout* nameColumn = labelled("Name");
    m_name = field("Kestrove");
    m_name->setObjectName("name");
    m_name->setText(qs(m_editor.name));
    nameColumn->addWidget(m_name);
    identity->addLayout(nameColumn, 1);
    auto* areaBox = new QWidget;
    areaBox->setFixedWidth(200);
    auto* areaColumn = new QVBoxLayout(areaBox);
    areaColumn->setContentsMargins(0, 0, 0, 0);
    areaColumn->setSpacing(6);
    areaColumn->addWidget(new Eyebrow("Area", KS::textTertiary()));
    auto* areaRow = new QHBoxLayout;
    areaRow->setSpacing(6);
    m_area = field("Business");
    m_area->setObjectName("area");
    m_area->setText(qs(m_editor.area));
    areaRow->addWidget(m_area, 1);
    const std::vector<std::string> areas = m_engine.projects().areas();
    if (!areas.empty()) {
        auto* menuButton = new QToolButton;
        menuButton->setObjectName("areaMenu");
        menuButton->setFixedWidth(20);
        menuButton->setAutoRaise(true);
        menuButton->setStyleSheet("QToolButton::menu-indicator { image: none; width: 0; }");
        menuButton->setPopupMode(QToolButton::InstantPopup);
        menuButton->setIcon(symbolIcon(u"chevron.down", KS::textSecondary(), 10));
        auto* menu = new QMenu(menuButton);
        for (const std::string& area : areas) {
            // Plain text: an ampersand in an area name is not a shortcut mark.
            QAction* action = menu->addAction(qs(area).replace('&', "&&"));
            connect(action, &QAction::triggered, this, [this, area] { m_area->setText(qs(area)); });
        }
        menuButton->setMenu(menu);
        areaRow->addWidget(menuButton);
    }
    areaColumn->addLayout(areaRow);
    identity->addWidget(areaBox, 0, Qt::AlignTop);
    column->addLayout(identity);

    QVBoxLayout* colours = labelled("Color", 8);
    m_swatches = new QWidget;
    auto* swatchRow = new QHBoxLayout(m_swatches);
    swatchRow->setContentsMargins(0, 0, 0, 0);
    swatchRow->setSpacing(8);
    colours->addWidget(m_swatches);
    column->addLayout(colours);
    rebuildSwatches();

    QVBoxLayout* rules = labelled("Rules", 8);
    rules->addWidget(
        pageText(ProjectEditor::kRulesHelp, 11, QFont::Normal, KS::textTertiary(), true));
    m_rules = new QWidget;
    auto* rulesBox = new QVBoxLayout(m_rules);
    rulesBox->setContentsMargins(0, 0, 0, 0);
    rules->addWidget(m_rules);
    auto* addRow = new QHBoxLayout;
    addRow->setSpacing(8);
    m_ruleKind = new QComboBox;
    m_ruleKind->setObjectName("ruleKind");
    m_ruleKind->setFixedWidth(190);
    m_ruleKind->setFont(uiFont(12));
    for (const auto kind : {ProjectEditor::RuleKind::website, ProjectEditor::RuleKind::windowTitle,
                            ProjectEditor::RuleKind::folder}) {
        m_ruleKind->addItem(ProjectEditor::kindLabel(kind));
    }
    addRow->addWidget(m_ruleKind);
    m_ruleValue = field(ProjectEditor::placeholder(ProjectEditor::RuleKind::website));
    m_ruleValue->setObjectName("ruleValue");
    addRow->addWidget(m_ruleValue, 1);
    m_add = new PillButton("Add", {false});
    m_add->setObjectName("addRule");
    addRow->addWidget(m_add);
    m_apps = new PartsPill(
        {{"app.badge", {}, KS::text(), true, 11}, {"Apps", PillButtonStyle::font(), KS::text()}},
        {false});
    m_apps->setObjectName("apps");
    addRow->addWidget(m_apps);
    rules->addLayout(addRow);
    m_message = pageText("", 12, QFont::Normal, KS::distraction(), true);
    m_message->setObjectName("message");
    m_message->hide();
    rules->addWidget(m_message);
    column->addLayout(rules);
    rebuildRules();

    if (m_editor.isEditing()) {
        auto* deleteRow = new QHBoxLayout;
        auto* remove = new QPushButton("Delete project");
        remove->setObjectName("deleteProject");
        remove->setFlat(true);
        remove->setCursor(Qt::PointingHandCursor);
        remove->setFont(uiFont(12));
        remove->setStyleSheet(QString("QPushButton { color: %1; border: none; padding: 0; }")
                                  .arg(KS::distraction().name()));
        connect(remove, &QPushButton::clicked, this, [this] { confirmDelete(); });
        deleteRow->addWidget(remove);
        deleteRow->addStretch(1);
        column->addLayout(deleteRow);
    }

    fitToContent();
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_editor.name = text.toStdString();
        updateButtons();
    });
    connect(m_area, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_editor.area = text.toStdString(); });
    connect(m_ruleKind, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_editor.newRuleKind = static_cast<ProjectEditor::RuleKind>(index);
        m_ruleValue->setPlaceholderText(ProjectEditor::placeholder(m_editor.newRuleKind));
    });
    connect(m_ruleValue, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_editor.newRuleValue = text.toStdString();
        updateButtons();
    });
    connect(m_ruleValue, &QLineEdit::returnPressed, this, [this] { addTypedRule(); });
    connect(m_add, &QPushButton::clicked, this, [this] { addTypedRule(); });
    connect(m_apps, &QPushButton::clicked, this, [this] { openAppPicker(); });
    updateButtons();
}

QString ProjectEditSheet::message() const
{
    return m_message->isHidden() ? QString() : m_message->text();
}

void ProjectEditSheet::showMessage(const std::string& text)
{
    m_message->setText(qs(text));
    m_message->setVisible(!text.empty());
    fitToContent();
}

void ProjectEditSheet::updateButtons()
{
    m_save->setEnabled(m_editor.canSave());
    m_add->setEnabled(m_editor.canAddRule());
}

void ProjectEditSheet::rebuildSwatches()
{
    auto* row = static_cast<QHBoxLayout*>(m_swatches->layout());
    while (QLayoutItem* item = row->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const std::string_view key : ProjectStore::palette) {
        auto* swatch = new Swatch(std::string(key), m_editor.color == key);
        swatch->setObjectName(qs("swatch." + std::string(key)));
        connect(swatch, &QAbstractButton::clicked, this,
                [this, key = std::string(key)] { chooseColor(key); });
        row->addWidget(swatch);
    }
    row->addStretch(1);
}

void ProjectEditSheet::rebuildRules()
{
    auto* box = static_cast<QVBoxLayout*>(m_rules->layout());
    while (QLayoutItem* item = box->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    if (m_editor.rules.empty()) {
        box->addWidget(new EmptyHint(ProjectEditor::kNoRules));
        fitToContent();
        return;
    }
    auto* chips = new QWidget;
    auto* flow = new FlowLayout(8, chips);
    for (const ProjectRule& rule : m_editor.rules) {
        // On a later turn: the chip whose cross was pressed goes with the rebuild.
        flow->addWidget(new ProjectRuleChip(rule, [this, rule] {
            QMetaObject::invokeMethod(
                this,
                [this, rule] {
                    m_editor.removeRule(rule);
                    rebuildRules();
                },
                Qt::QueuedConnection);
        }));
    }
    box->addWidget(chips);
    fitToContent();
}

void ProjectEditSheet::fitToContent()
{
    // The wrapped texts and chips are only as tall as the fixed width makes them; a window's
    // own size hint does not ask its layout for that.
    layout()->activate();
    const int height = layout()->hasHeightForWidth() ? layout()->totalHeightForWidth(width())
                                                     : layout()->totalSizeHint().height();
    setFixedHeight(height);
}

void ProjectEditSheet::chooseColor(const std::string& key)
{
    m_editor.color = key;
    rebuildSwatches();
}

void ProjectEditSheet::addTypedRule()
{
    m_editor.newRuleValue = m_ruleValue->text().toStdString();
    const auto refusal = m_editor.addTypedRule();
    showMessage(refusal.value_or(""));
    if (!refusal) {
        m_ruleValue->setText(qs(m_editor.newRuleValue));
    }
    rebuildRules();
    updateButtons();
}

void ProjectEditSheet::openAppPicker()
{
    if (!m_hooks.pickApps) {
        return;
    }
    m_hooks.pickApps(m_apps, "Apps", m_editor.appSelection(),
                     [this](const std::set<std::string>& chosen) { applyAppSelection(chosen); });
}

void ProjectEditSheet::applyAppSelection(const std::set<std::string>& bundleIDs)
{
    m_editor.applyAppSelection(bundleIDs);
    rebuildRules();
}

void ProjectEditSheet::save()
{
    const auto plan = m_editor.savePlan(m_engine.projects().projects(), Uuid::generate());
    if (const auto* refusal = std::get_if<std::string>(&plan)) {
        showMessage(*refusal);
        return;
    }
    const auto& saving = std::get<ProjectEditor::SavePlan>(plan);
    if (saving.isNew) {
        m_engine.projects().add(saving.project);
    } else {
        m_engine.projects().update(saving.project);
    }
    if (saving.rename && m_hooks.rewriteHistory) {
        m_hooks.rewriteHistory(*saving.rename);
    }
    accept();
}

void ProjectEditSheet::confirmDelete()
{
    auto* box = new QMessageBox(QMessageBox::Warning, ProjectEditor::kDeleteTitle,
                                ProjectEditor::kDeleteTitle, QMessageBox::Cancel, this);
    box->setInformativeText(ProjectEditor::kDeleteMessage);
    QPushButton* confirm = box->addButton("Delete", QMessageBox::DestructiveRole);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(confirm, &QPushButton::clicked, this, [this] { deleteProject(); });
    box->open();
}

void ProjectEditSheet::deleteProject()
{
    if (const auto plan = m_editor.deletePlan()) {
        m_engine.projects().deleteProject(plan->id);
        if (m_hooks.rewriteHistory) {
            m_hooks.rewriteHistory(plan->rename);
        }
    }
    accept();
}

} // namespace kestrove
