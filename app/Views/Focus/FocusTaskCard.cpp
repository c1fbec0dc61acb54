#include "Views/Focus/FocusTaskCard.h"

#include "Engine/SessionEngine.h"
#include "Platform/InstalledApps.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/InfoTip.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Focus/ActiveFocusTaskView.h"
#include "Views/Focus/AppPickerView.h"
#include "Views/Focus/FocusParts.h"
#include "Views/Theme.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>

namespace kestrove {

namespace {

constexpr int kCaptionWidth = 96;

QWidget* caption(const char* text, int topPadding)
{
    auto* box = new QWidget;
    box->setFixedWidth(kCaptionWidth);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, topPadding, 0, 0);
    layout->addWidget(new Eyebrow(text, KS::textTertiary()), 0, Qt::AlignLeft | Qt::AlignTop);
    return box;
}

} // namespace

FocusTaskCard::FocusTaskCard(SessionEngine& engine, InstalledApps& apps, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_apps(apps),
      m_form(FocusTaskCardModel::initialForm(engine.preferences()))
{
    auto* inner = new QWidget;
    auto* innerLayout = new QVBoxLayout(inner);
    innerLayout->setContentsMargins(0, 0, 0, 0);
    innerLayout->setSpacing(0);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ksCard(inner, 18));

    m_taskChanged = m_engine.focusTaskManager().observers().subscribe([this] {
        if (m_engine.focusTaskManager().active().has_value() != m_showingTask) {
            showFormOrTask();
        } else if (m_activeView) {
            m_activeView->refresh();
        }
    });
    m_presetsChanged =
        m_engine.allowlistPresets().observers().subscribe([this] { refreshAlwaysAllowed(); });
    m_appsChanged = m_apps.observers().subscribe([this] {
        rebuildChips();
        refreshAlwaysAllowed();
    });
    showFormOrTask();
    // Names in the chips and the always-allowed line come from the installed applications.
    if (!m_apps.hasScanned()) {
        m_apps.refresh();
    }
}

QAbstractButton* FocusTaskCard::addButton() const
{
    if (!m_chipFlow) {
        return nullptr;
    }
    return qobject_cast<QAbstractButton*>(m_chipFlow->itemAt(m_chipFlow->count() - 1)->widget());
}

std::vector<QString> FocusTaskCard::chipNames() const
{
    std::vector<QString> names;
    for (int i = 0; m_chipFlow && i < m_chipFlow->count(); ++i) {
        if (auto* chip = dynamic_cast<AppChip*>(m_chipFlow->itemAt(i)->widget())) {
            names.push_back(chip->name());
        }
    }
    return names;
}

void FocusTaskCard::showFormOrTask()
{
    QLayout* layout =
        static_cast<KSCard*>(this->layout()->itemAt(0)->widget())->content()->layout();
    if (m_content) {
        // Later: the change may come from a click inside what goes.
        layout->removeWidget(m_content);
        m_content->hide();
        m_content->deleteLater();
    }
    m_name = nullptr;
    m_length = m_project = nullptr;
    m_start = nullptr;
    m_chips = nullptr;
    m_chipFlow = nullptr;
    m_alwaysAllowed = nullptr;
    m_activeView = nullptr;
    m_showingTask = m_engine.focusTaskManager().active().has_value();
    if (m_showingTask) {
        m_activeView = new ActiveFocusTaskView(m_engine, m_apps);
        m_content = m_activeView;
    } else {
        m_content = buildForm();
    }
    layout->addWidget(m_content);
}

QWidget* FocusTaskCard::buildForm()
{
    auto* form = new QWidget;
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* header = new QHBoxLayout;
    header->setSpacing(6);
    auto* title = new SectionHeader(FocusTaskCardModel::kTitle);
    // The title's own measure can come out a pixel short at another scale and cut it.
    title->setMinimumWidth(title->sizeHint().width() + 2);
    header->addWidget(title);
    header->addWidget(new InfoTip(FocusTaskCardModel::kTitle, FocusTaskCardModel::kInfoDetail));
    // All the room left goes to the stretch, so the tip stays beside the title.
    header->addStretch(1);
    layout->addLayout(header);
    layout->addSpacing(14);

    auto* rows = new QVBoxLayout;
    rows->setSpacing(14);

    auto* first = new QHBoxLayout;
    first->setSpacing(10);
    m_name = new QLineEdit(QString::fromStdString(m_form.taskName));
    m_name->setPlaceholderText(FocusTaskCardModel::kNamePlaceholder);
    m_name->setFont(uiFont(13));
    first->addWidget(m_name, 1);
    m_length = new QComboBox;
    m_length->setFixedWidth(96);
    for (const std::int64_t minutes : FocusTaskCardModel::kLengthOptions) {
        m_length->addItem(QString::fromStdString(FocusTaskCardModel::lengthLabel(minutes)),
                          QVariant::fromValue<qlonglong>(minutes));
    }
    m_length->setCurrentIndex(
        m_length->findData(QVariant::fromValue<qlonglong>(m_form.durationMinutes)));
    first->addWidget(m_length);
    rows->addLayout(first);

    auto* second = new QHBoxLayout;
    second->setSpacing(10);
    second->addWidget(caption("Allowed apps", 8), 0, Qt::AlignTop);
    auto* apps = new QVBoxLayout;
    apps->setSpacing(8);
    m_chips = new QWidget;
    m_chipFlow = new FlowLayout(6, m_chips);
    m_chipFlow->setContentsMargins(0, 0, 0, 0);
    apps->addWidget(m_chips);
    m_alwaysAllowed = textLabel({}, 11, QFont::Normal, KS::textTertiary());
    m_alwaysAllowed->setWordWrap(true);
    apps->addWidget(m_alwaysAllowed);
    second->addLayout(apps, 1);
    rows->addLayout(second);

    auto* third = new QHBoxLayout;
    third->setSpacing(10);
    third->addWidget(caption("Project", 0), 0, Qt::AlignVCenter);
    m_project = new QComboBox;
    m_project->setFixedWidth(200);
    for (const ProjectChoice& choice : FocusTaskCardModel::projectChoices(m_engine.projects())) {
        m_project->addItem(QString::fromStdString(choice.label),
                           choice.projectID ? QVariant(QString::fromStdString(*choice.projectID))
                                            : QVariant());
    }
    if (m_form.projectID) {
        m_project->setCurrentIndex(
            std::max(0, m_project->findData(QString::fromStdString(*m_form.projectID))));
    }
    third->addWidget(m_project);
    third->addStretch();
    m_start = new PillButton(FocusTaskCardModel::kTitle, PillButtonStyle{true});
    third->addWidget(m_start);
    rows->addLayout(third);
    layout->addLayout(rows);

    connect(m_name, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_form.taskName = text.toStdString();
        refreshStart();
    });
    connect(m_length, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index >= 0) {
            m_form.durationMinutes = m_length->itemData(index).toLongLong();
        }
    });
    connect(m_project, &QComboBox::currentIndexChanged, this, [this](int index) {
        const QVariant id = m_project->itemData(index);
        m_form.projectID = id.isValid() ? std::optional(id.toString().toStdString()) : std::nullopt;
    });
    connect(m_start, &QPushButton::clicked, this, [this] { start(); });
    connect(m_name, &QLineEdit::returnPressed, this, [this] { start(); });
    // Return anywhere in the form starts, as the card's default action.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto* shortcut = new QShortcut(QKeySequence(key), form);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] { start(); });
    }

    rebuildChips();
    refreshAlwaysAllowed();
    refreshStart();
    return form;
}

void FocusTaskCard::rebuildChips()
{
    if (!m_chipFlow) {
        return;
    }
    while (QLayoutItem* item = m_chipFlow->takeAt(0)) {
        item->widget()->hide();
        item->widget()->deleteLater();
        delete item;
    }
    for (const std::string& id : m_form.selectedBundleIDs) {
        m_chipFlow->addWidget(
            new AppChip({}, QString::fromStdString(m_apps.displayName(id)), 5, [this, id] {
                m_form.selectedBundleIDs.erase(id);
                rebuildChips();
                refreshStart();
            }));
    }
    auto* add = new SymbolPill(
        "plus", QString::fromStdString(FocusTaskCardModel::addButtonText(m_form.selectedBundleIDs)),
        PillButtonStyle{false});
    connect(add, &QAbstractButton::clicked, this, [this] { openPicker(); });
    m_chipFlow->addWidget(add);
    m_chips->updateGeometry();
}

void FocusTaskCard::refreshAlwaysAllowed()
{
    if (!m_alwaysAllowed) {
        return;
    }
    const auto line =
        FocusTaskCardModel::alwaysAllowedLine(m_engine.allowlistPresets().alwaysAllowed(), m_apps);
    m_alwaysAllowed->setText(QString::fromStdString(line.value_or("")));
    m_alwaysAllowed->setVisible(line.has_value());
}

void FocusTaskCard::refreshStart()
{
    if (m_start) {
        m_start->setEnabled(FocusTaskCardModel::canStart(m_form));
    }
}

void FocusTaskCard::start()
{
    // The card becomes the running task's view as the task starts.
    FocusTaskCardModel::start(m_form, m_engine);
}

void FocusTaskCard::openPicker()
{
    // The form's picker edits the selection itself; there is nothing to cancel.
    m_picker = AppPickerView::popUp(m_apps, m_form.selectedBundleIDs, addButton());
    m_picker->onSelectionChanged = [this](const AppSelection& selection) {
        m_form.selectedBundleIDs = selection;
        rebuildChips();
        refreshStart();
    };
    m_picker->onDone = [picker = m_picker.data()] { picker->window()->close(); };
}

} // namespace kestrove
