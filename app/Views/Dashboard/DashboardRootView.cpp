#include "Views/Dashboard/DashboardRootView.h"

#include "Engine/SessionEngine.h"
#include "ViewLogic/Shell/DashboardRootModel.h"
#include "Views/Components/EmptyHint.h"
#include "Views/Components/KindDot.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/Symbol.h"
#include "Views/Components/Waterline.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QAbstractButton>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace kestrove {

namespace {

constexpr int kSidebarWidth = 196;

// The application's mark at the top of the sidebar.
class SidebarMark final : public QWidget
{
public:
    SidebarMark()
    {
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(18, 44, 18, 22);
        layout->setSpacing(8);
        layout->addSpacing(16); // the mark, painted below
        layout->addWidget(textLabel("Kestrove", 15, QFont::Bold, KS::text()), 0, Qt::AlignVCenter);
        layout->addStretch();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const int top = 44 + (height() - 44 - 22 - 16) / 2;
        paintSymbol(painter, u"water.waves", QRectF(18, top, 16, 16), KS::deep());
    }
};

} // namespace

// One entry of the sidebar: its symbol, title and, on the lock-in entry while a task runs, the
// time left. The whole row takes clicks.
class SidebarItem final : public QAbstractButton
{
public:
    explicit SidebarItem(const SidebarEntry& entry) : m_entry(entry)
    {
        setCursor(Qt::PointingHandCursor);
        setFixedHeight(2 + 8 + 18 + 8);
        setAccessibleName(QString::fromStdString(entry.title));
    }

    void setEntry(const SidebarEntry& entry)
    {
        if (entry.isSelected != m_entry.isSelected || entry.trailing != m_entry.trailing) {
            m_entry = entry;
            update();
        }
    }
    const SidebarEntry& entry() const { return m_entry; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        const QRectF row = QRectF(rect()).adjusted(10, 1, -10, -1);
        if (m_entry.isSelected) {
            QColor fill(Qt::white);
            fill.setAlphaF(0.07f);
            painter.fillPath(continuousRoundedRect(row, 9), fill);
        }
        const QRectF content = row.adjusted(12, 8, -12, -8);
        const QColor symbolColour = m_entry.isSelected ? KS::deepLight() : KS::textTertiary();
        paintSymbol(painter, QString::fromStdString(m_entry.symbol),
                    QRectF(content.left() + 1, content.center().y() - 7, 14, 14), symbolColour);

        painter.setFont(uiFont(13, m_entry.isSelected ? QFont::DemiBold : QFont::Medium));
        painter.setPen(m_entry.isSelected ? KS::text() : KS::textSecondary());
        const QRectF titleBox = content.adjusted(16 + 10, 0, 0, 0);
        painter.drawText(titleBox, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromStdString(m_entry.title));
        if (m_entry.trailing) {
            QFont mono = uiFont(10, QFont::Medium);
            mono.setStyleHint(QFont::Monospace);
            painter.setFont(mono);
            painter.setPen(KS::deepLight());
            painter.drawText(titleBox, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                             QString::fromStdString(*m_entry.trailing));
        }
    }

private:
    SidebarEntry m_entry;
};

// The sidebar's live footer: the kind of the moment and what is tracked, today's deep time
// against the goal, and the goal's waterline.
class DashboardFooterView final : public QWidget
{
public:
    DashboardFooterView()
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(18, 0, 18, 18);
        layout->setSpacing(8);

        auto* now = new QHBoxLayout;
        now->setSpacing(6);
        m_dot = new KindDot(ContextKind::idle, 7);
        m_activity = textLabel({}, 11, QFont::Medium, KS::textSecondary());
        m_activity->setMinimumWidth(0);
        m_activity->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        now->addWidget(m_dot, 0, Qt::AlignVCenter);
        now->addWidget(m_activity, 1);
        layout->addLayout(now);

        auto* figures = new QHBoxLayout;
        figures->setSpacing(4);
        m_deep = textLabel({}, 18, QFont::Bold, KS::text());
        m_goal = textLabel({}, 11, QFont::Normal, KS::textTertiary());
        figures->addWidget(m_deep, 0, Qt::AlignBaseline);
        figures->addWidget(m_goal, 0, Qt::AlignBaseline);
        figures->addStretch();
        layout->addLayout(figures);

        m_waterline = new Waterline(0, 3, KS::deepGradient());
        layout->addWidget(m_waterline);
    }

    void show(const DashboardFooter& footer)
    {
        m_dot->setKind(footer.kind);
        const QString activity = QString::fromStdString(footer.activity);
        if (m_activity->text() != activity) {
            setPlainText(*m_activity, activity);
        }
        m_deep->setText(QString::fromStdString(footer.deepToday));
        m_goal->setText(QString::fromStdString(footer.goal));
        m_waterline->setProgress(footer.progress);
    }

private:
    KindDot* m_dot;
    QLabel* m_activity;
    QLabel* m_deep;
    QLabel* m_goal;
    Waterline* m_waterline;
};

DashboardRootView::DashboardRootView(SessionEngine& engine, DashboardNavigation& navigation,
                                     DashboardPageFactory pages, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_navigation(navigation), m_pages(std::move(pages)),
      m_shownSection(navigation.section()), m_timer(new QTimer(this))
{
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, KS::ink());
    setPalette(background);
    setMinimumSize(960, 640);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(0);

    auto* sidebar = new QWidget;
    sidebar->setFixedWidth(kSidebarWidth);
    auto* sidebarLayout = new QVBoxLayout(sidebar);
    sidebarLayout->setContentsMargins(0, 0, 0, 0);
    sidebarLayout->setSpacing(0);
    sidebarLayout->addWidget(new SidebarMark);
    for (const SidebarEntry& entry : sidebarEntries(navigation.section(), std::nullopt)) {
        auto* item = new SidebarItem(entry);
        const DashboardSection section = entry.section;
        connect(item, &QAbstractButton::clicked, this,
                [this, section] { m_navigation.setSection(section); });
        m_items.push_back(item);
        sidebarLayout->addWidget(item);
    }
    sidebarLayout->addStretch();
    m_footer = new DashboardFooterView;
    sidebarLayout->addWidget(m_footer);
    columns->addWidget(sidebar);

    auto* divider = new QWidget;
    divider->setFixedWidth(1);
    divider->setAutoFillBackground(true);
    QPalette dividerColour = divider->palette();
    dividerColour.setColor(QPalette::Window, KS::border());
    divider->setPalette(dividerColour);
    columns->addWidget(divider);

    auto* detail = new QWidget;
    m_detail = new QVBoxLayout(detail);
    m_detail->setContentsMargins(0, 0, 0, 0);
    columns->addWidget(detail, 1);

    m_navigationChanges = navigation.observers().subscribe([this] {
        refreshEntries();
        if (m_navigation.section() != m_shownSection || !m_page) {
            showSection();
        }
    });
    m_taskChanges = engine.focusTaskManager().observers().subscribe([this] { refreshEntries(); });
    connect(m_timer, &QTimer::timeout, this, [this] { m_footer->show(dashboardFooter(m_engine)); });
    m_timer->start(1000);

    showSection();
    refresh();
}

DashboardRootView::~DashboardRootView() = default;

void DashboardRootView::refresh()
{
    refreshEntries();
    m_footer->show(dashboardFooter(m_engine));
}

void DashboardRootView::refreshEntries()
{
    const auto entries =
        sidebarEntries(m_navigation.section(), m_engine.focusTaskManager().active());
    for (std::size_t i = 0; i < entries.size() && i < m_items.size(); ++i) {
        m_items[i]->setEntry(entries[i]);
    }
}

void DashboardRootView::showSection()
{
    m_shownSection = m_navigation.section();
    if (m_page) {
        m_detail->removeWidget(m_page);
        m_page->deleteLater();
    }
    m_page = m_pages ? m_pages(m_shownSection) : nullptr;
    if (!m_page) {
        m_page = unbuiltPage(m_shownSection);
    }
    m_detail->addWidget(m_page);
}

QWidget* unbuiltPage(DashboardSection section)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(28, 28, 28, 28);
    std::string title;
    for (const SidebarEntry& entry : sidebarEntries(section, std::nullopt)) {
        if (entry.section == section) {
            title = entry.title;
        }
    }
    layout->addWidget(textLabel(QString::fromStdString(title), 22, QFont::Bold, KS::text()));
    layout->addWidget(new EmptyHint("This page is not part of this version of Kestrove yet."));
    layout->addStretch();
    return page;
}

} // namespace kestrove
