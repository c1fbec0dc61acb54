#include "Views/Dashboard/AssignSheet.h"

#include "Engine/SessionEngine.h"
#include "ViewLogic/Today/TodayModel.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Components/Shapes.h"
#include "Views/Dashboard/TodayParts.h"
#include "Views/Theme.h"
#include "core/Uuid.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QVBoxLayout>

namespace kestrove {

namespace {

// One active project as a whole-row button on the raised surface.
class ProjectRowButton final : public QAbstractButton
{
public:
    explicit ProjectRowButton(const Project& project)
    {
        setText(QString::fromStdString(project.name));
        // Labels take the text colour of their parent's background role; a button's would
        // draw the area in the name's colour.
        setBackgroundRole(QPalette::Window);
        setCursor(Qt::PointingHandCursor);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(12, 9, 12, 9);
        row->setSpacing(10);
        row->addWidget(new ProjectDot(project.color, 8), 0, Qt::AlignVCenter);
        row->addWidget(
            pageText(QString::fromStdString(project.name), 13, QFont::Medium, KS::text()));
        if (project.area) {
            row->addWidget(pageText(QString::fromStdString(*project.area), 11, QFont::Normal,
                                    KS::textTertiary()));
        }
        row->addStretch(1);
        row->addWidget(new SymbolView("arrow.right", 10, KS::textTertiary()), 0, Qt::AlignVCenter);
        for (QWidget* child : findChildren<QWidget*>()) {
            child->setAttribute(Qt::WA_TransparentForMouseEvents);
        }
    }
    QSize sizeHint() const override { return layout()->sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(rect(), 10),
                         isDown() ? KS::surface2().lighter(115) : KS::surface2());
    }
};

} // namespace

AssignSheet::AssignSheet(SessionEngine& engine, std::string hint, double seconds, bool isToday,
                         std::function<void()> onDone, QWidget* parent)
    : QDialog(parent), m_engine(engine), m_hint(std::move(hint)), m_onDone(std::move(onDone))
{
    setWindowTitle("Assign");
    setModal(true);
    setFixedWidth(520);
    setAutoFillBackground(true);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, KS::ink());
    setPalette(palette);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(22, 22, 22, 22);
    column->setSpacing(16);

    auto* header = new QVBoxLayout;
    header->setSpacing(4);
    header->addWidget(new Eyebrow("Assign", KS::textTertiary()));
    QLabel* title = pageText(QString::fromStdString(m_hint), 18, QFont::Bold, KS::text(), true);
    title->setObjectName("assignHint");
    header->addWidget(title);
    QLabel* sentence = pageText(QString::fromStdString(assignSentence(seconds, isToday)), 12,
                                QFont::Normal, KS::textSecondary(), true);
    sentence->setObjectName("assignSentence");
    header->addWidget(sentence);
    column->addLayout(header);

    const std::vector<Project> projects = m_engine.projects().activeProjects();
    if (!projects.empty()) {
        auto* list = new QVBoxLayout;
        list->setSpacing(6);
        for (const Project& project : projects) {
            auto* button = new ProjectRowButton(project);
            connect(button, &QAbstractButton::clicked, this, [this, project] { assign(project); });
            m_projectButtons.push_back(button);
            list->addWidget(button);
        }
        column->addLayout(list);
    }

    auto* creation = new QVBoxLayout;
    creation->setSpacing(8);
    creation->addWidget(new Eyebrow("New project", KS::textTertiary()));
    auto* fields = new QHBoxLayout;
    fields->setSpacing(8);
    m_name = new QLineEdit;
    m_name->setPlaceholderText("Name");
    m_name->setFont(uiFont(13));
    fields->addWidget(m_name, 1);
    m_area = new QLineEdit;
    m_area->setPlaceholderText("Area (optional)");
    m_area->setFont(uiFont(13));
    m_area->setFixedWidth(150);
    fields->addWidget(m_area);
    m_create = new PillButton("Create & assign", {true});
    m_create->setObjectName("createAndAssign");
    fields->addWidget(m_create);
    creation->addLayout(fields);
    column->addLayout(creation);

    auto* footer = new QHBoxLayout;
    footer->addStretch(1);
    auto* cancel = new PillButton("Cancel", {false});
    cancel->setObjectName("cancel");
    footer->addWidget(cancel);
    column->addLayout(footer);

    connect(m_name, &QLineEdit::textChanged, this, [this] { updateCreateButton(); });
    connect(m_create, &QPushButton::clicked, this, [this] { createAndAssign(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    updateCreateButton();
}

void AssignSheet::updateCreateButton()
{
    m_create->setEnabled(canCreateProject(m_name->text().toStdString(), m_working));
}

void AssignSheet::createAndAssign()
{
    if (!canCreateProject(m_name->text().toStdString(), m_working)) {
        return;
    }
    const Project stored = m_engine.projects().add(
        newAssignProject(m_name->text().toStdString(), m_area->text().toStdString(),
                         m_engine.projects().nextColor(), Uuid::generate()));
    assign(stored);
}

void AssignSheet::assign(const Project& project)
{
    if (m_working) {
        return;
    }
    m_working = true;
    updateCreateButton();
    m_engine.assign(m_hint, project, m_guard.wrap<bool>([this](bool) {
        if (m_onDone) {
            m_onDone();
        }
        accept();
    }));
}

} // namespace kestrove
