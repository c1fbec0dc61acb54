#include "Gallery/Gallery.h"
#include "Gallery/FocusGallery.h"
#include "Gallery/PopoverGallery.h"
#include "Gallery/RitualsGallery.h"
#include "Gallery/SettingsGallery.h"
#include "Gallery/ShareGallery.h"
#include "Gallery/ShellGallery.h"
#include "Gallery/TodayGallery.h"
#include "Gallery/WeekGallery.h"

#include "Views/Components/EmptyHint.h"
#include "Views/Components/Eyebrow.h"
#include "Views/Components/FlowLayout.h"
#include "Views/Components/GlassCard.h"
#include "Views/Components/InfoTip.h"
#include "Views/Components/KSCard.h"
#include "Views/Components/KindDot.h"
#include "Views/Components/PillButtonStyle.h"
#include "Views/Components/ProgressRingView.h"
#include "Views/Components/ProjectDot.h"
#include "Views/Components/SectionHeader.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/StatChip.h"
#include "Views/Components/Symbol.h"
#include "Views/Components/Waterline.h"
#include "Views/Lockdown/BlockingOverlayView.h"
#include "Views/Lockdown/TimeUpView.h"
#include "Views/PlainText.h"
#include "Views/Theme.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <array>
#include <cmath>

namespace kestrove::gallery {

namespace {

using WidgetPtr = std::unique_ptr<QWidget>;

// A view on the window background, inset the way a page insets its cards.
WidgetPtr page(QWidget* content, int width = 0, int margin = 20)
{
    auto result = std::make_unique<QWidget>();
    result->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(result.get());
    layout->setContentsMargins(margin, margin, margin, margin);
    layout->addWidget(content);
    if (width > 0) {
        result->setFixedWidth(width);
    }
    return result;
}

QLabel* text(const QString& value, int pixelSize, QFont::Weight weight, const QColor& colour)
{
    QLabel* label = plainLabel(value);
    label->setFont(uiFont(pixelSize, weight));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

QWidget* row(std::initializer_list<QWidget*> widgets, int spacing = 8, bool stretch = false)
{
    auto* container = new QWidget;
    auto* layout = new QHBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* widget : widgets) {
        layout->addWidget(widget, 0, Qt::AlignVCenter);
    }
    if (stretch) {
        layout->addStretch();
    }
    return container;
}

QWidget* column(std::initializer_list<QWidget*> widgets, int spacing = 8)
{
    auto* container = new QWidget;
    auto* layout = new QVBoxLayout(container);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    for (QWidget* widget : widgets) {
        layout->addWidget(widget);
    }
    return container;
}

// A colour sample with its name and value, over a card so translucent colours read as used.
class Swatch : public QWidget
{
public:
    Swatch(QString name, QColor colour) : m_name(std::move(name)), m_colour(std::move(colour))
    {
        setFixedSize(176, 40);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(continuousRoundedRect(QRectF(4, 4, 32, 32), 8), m_colour);
        painter.setPen(QPen(KS::borderSoft(), 1));
        painter.drawPath(continuousRoundedRect(QRectF(4.5, 4.5, 31, 31), 7.5));
        painter.setFont(uiFont(12, QFont::DemiBold));
        painter.setPen(KS::text());
        painter.drawText(QPointF(46, 18), m_name);
        painter.setFont(uiFont(11));
        painter.setPen(KS::textTertiary());
        QString value = m_colour.name(QColor::HexRgb).toUpper();
        if (m_colour.alpha() < 255) {
            value += QStringLiteral(" · %1").arg(m_colour.alphaF(), 0, 'f', 2);
        }
        painter.drawText(QPointF(46, 33), value);
    }

private:
    QString m_name;
    QColor m_colour;
};

// A rule or an application in a wrapping list, as the focus-task and project views show them.
class Chip : public QWidget
{
public:
    explicit Chip(QString label) : m_label(std::move(label))
    {
        const QFontMetrics metrics(uiFont(12));
        setFixedSize(metrics.horizontalAdvance(m_label) + 20, metrics.height() + 10);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(capsule(rect()), KS::surface2());
        painter.setPen(QPen(KS::border(), 1));
        painter.drawPath(capsule(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5)));
        painter.setFont(uiFont(12));
        painter.setPen(KS::textSecondary());
        painter.drawText(rect(), Qt::AlignCenter, m_label);
    }

private:
    QString m_label;
};

WidgetPtr paletteView()
{
    const std::array<std::pair<const char*, const QColor&>, 17> named = {{
        {"ink", KS::ink()},
        {"surface", KS::surface()},
        {"surface2", KS::surface2()},
        {"border", KS::border()},
        {"borderSoft", KS::borderSoft()},
        {"text", KS::text()},
        {"textSecondary", KS::textSecondary()},
        {"textTertiary", KS::textTertiary()},
        {"deep", KS::deep()},
        {"deepDark", KS::deepDark()},
        {"deepLight", KS::deepLight()},
        {"shallow", KS::shallow()},
        {"distraction", KS::distraction()},
        {"neutral", KS::neutral()},
        {"idle", KS::idle()},
        {"success", KS::success()},
        {"unassignedColor", KS::unassignedColor()},
    }};
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    for (std::size_t i = 0; i < named.size(); ++i) {
        layout->addWidget(new Swatch(named[i].first, named[i].second), static_cast<int>(i / 3),
                          static_cast<int>(i % 3));
    }
    return page(ksCard(grid, 16));
}

WidgetPtr projectColorsView()
{
    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    const char* keys[] = {"violet", "blue", "teal",  "green", "amber",
                          "coral",  "pink", "slate", "Violet"};
    int index = 0;
    for (const char* key : keys) {
        layout->addWidget(new Swatch(QStringLiteral("\"%1\"").arg(key), KS::projectColor(key)),
                          index / 3, index % 3);
        ++index;
    }
    return page(ksCard(grid, 16));
}

QWidget* labelled(QWidget* dot, const QString& name)
{
    return row({dot, text(name, 12, QFont::Normal, KS::textSecondary())}, 8, true);
}

WidgetPtr kindDotView()
{
    return page(ksCard(column({labelled(new KindDot(ContextKind::deep, 10), "Deep"),
                               labelled(new KindDot(ContextKind::shallow, 10), "Shallow"),
                               labelled(new KindDot(ContextKind::distraction, 10), "Distraction"),
                               labelled(new KindDot(ContextKind::neutral, 10), "Neutral"),
                               labelled(new KindDot(ContextKind::idle, 10), "Idle")}),
                       16),
                220);
}

WidgetPtr projectDotView()
{
    return page(ksCard(column({labelled(new ProjectDot("violet", 10), "Kestrove"),
                               labelled(new ProjectDot("teal", 10), "Thesis"),
                               labelled(new ProjectDot("amber", 10), "Garden planner"),
                               labelled(new ProjectDot("Violet", 10), "Unknown key \"Violet\""),
                               labelled(new ProjectDot(std::nullopt, 10), "Unassigned (no key)")}),
                       16),
                260);
}

WidgetPtr cardView()
{
    auto* content = column({new Eyebrow("Deep work today", KS::deep()),
                            text("3h 12m", 28, QFont::Bold, KS::text()),
                            new Waterline(0.64, 6, KS::deepGradient()),
                            text("64% of your 5h goal", 12, QFont::Normal, KS::textTertiary())},
                           10);
    return page(ksCard(content, 18), 360);
}

WidgetPtr eyebrowView()
{
    return page(column({new Eyebrow("Deep work today", KS::deep()),
                        new Eyebrow("where the time went", KS::textTertiary()),
                        new Eyebrow("Straße · Focus", KS::success())},
                       10));
}

WidgetPtr statChipView(const QString& value, int width)
{
    auto* chips = row({new StatChip("Deep", value, KS::deep()),
                       new StatChip("Shallow", "1h 05m", KS::shallow()),
                       new StatChip("Blocks", "4", KS::text())},
                      12, true);
    return page(ksCard(chips, 16), width);
}

WidgetPtr waterlineView(double progress)
{
    auto* content = column(
        {text(QStringLiteral("progress %1").arg(progress), 12, QFont::Normal, KS::textTertiary()),
         new Waterline(progress, 8, KS::deepGradient())},
        10);
    return page(ksCard(content, 16), 320);
}

WidgetPtr ringView(double progress)
{
    auto* ring = new ProgressRingView(progress, 10);
    ring->setFixedSize(96, 96);
    return page(ring);
}

WidgetPtr pillView(bool prominent, bool pressed)
{
    auto* button = new PillButton(prominent ? "Start lock-in" : "Edit plan", {prominent});
    button->setDown(pressed);
    return page(button);
}

WidgetPtr sectionHeaderView(bool withTrailing)
{
    auto* header = withTrailing ? new SectionHeader("Where the time went", QString("6h 40m"))
                                : new SectionHeader("Focus blocks");
    return page(ksCard(header, 16), 360);
}

WidgetPtr emptyHintView()
{
    return page(ksCard(new EmptyHint("No focus blocks yet today. A block starts after 25 minutes "
                                     "of deep work with no more than a short interruption."),
                       16),
                360);
}

WidgetPtr infoTipView(bool open)
{
    auto view = std::make_unique<QWidget>();
    view->setAutoFillBackground(true);
    const QString title = "Focus blocks";
    const QString detail = "A block is a stretch of deep work of 25 minutes or more. Short "
                           "interruptions within the grace period do not end it.";
    auto* header =
        row({text("Focus blocks", 14, QFont::DemiBold, KS::text()), new InfoTip(title, detail)}, 6,
            true);
    header->setParent(view.get());
    header->setGeometry(150, 20, 300, 20);
    int height = 60;
    if (open) {
        // The pop-up is a window of its own on screen; here it is drawn where it would appear.
        auto* popover = new InfoTipPopover(title, detail, view.get());
        const QWidget* icon = header->findChild<InfoTip*>();
        header->layout()->activate();
        const QPoint anchor = icon->mapTo(view.get(), QPoint(icon->width() / 2, icon->height()));
        popover->move(anchor.x() - InfoTipPopover::kWidth / 2, anchor.y() + 2);
        height = popover->geometry().bottom() + 20;
        view->setFixedSize(std::max(480, popover->geometry().right() + 20), height);
        return view;
    }
    view->setFixedSize(480, height);
    return view;
}

QWidget* chips(int width)
{
    auto* container = new QWidget;
    auto* flow = new FlowLayout(6, container);
    for (const char* name : {"Code", "Terminal", "github.com", "docs.rs", "Figma", "Notes",
                             "localhost:8080", "Zotero", "man pages"}) {
        flow->addWidget(new Chip(name));
    }
    container->setFixedWidth(width);
    QSizePolicy policy = container->sizePolicy();
    policy.setHeightForWidth(true);
    container->setSizePolicy(policy);
    return container;
}

WidgetPtr flowView(int width)
{
    return page(ksCard(chips(width), 16));
}

WidgetPtr glassCardView()
{
    struct LockIcon : QWidget
    {
        void paintEvent(QPaintEvent*) override
        {
            QPainter painter(this);
            paintSymbol(painter, u"lock.fill", rect(), KS::textSecondary());
        }
    };
    auto* icon = new LockIcon;
    icon->setFixedSize(28, 28);
    auto* callout =
        text("That can wait. The work in front of you can't.", 28, QFont::DemiBold, KS::text());
    callout->setWordWrap(true);
    callout->setAlignment(Qt::AlignCenter);
    callout->setFixedWidth(520);
    auto* back = new PillButton("OK, back to work", {true});
    auto* content = new QWidget;
    auto* layout = new QVBoxLayout(content);
    layout->setContentsMargins(44, 36, 44, 36);
    layout->setSpacing(22);
    layout->addWidget(icon, 0, Qt::AlignHCenter);
    layout->addWidget(callout, 0, Qt::AlignHCenter);
    layout->addWidget(back, 0, Qt::AlignHCenter);
    return page(new GlassCard(content), 0, 0);
}

WidgetPtr standardWidgetsView()
{
    auto* field = new QLineEdit;
    field->setPlaceholderText("What are you working on?");
    auto* filled = new QLineEdit("Write the chapter on sampling");
    auto* combo = new QComboBox;
    combo->addItems({"45 minutes", "60 minutes", "90 minutes"});
    auto* check = new QCheckBox("Lock other apps");
    check->setChecked(true);
    auto* spin = new QSpinBox;
    spin->setRange(1, 12);
    spin->setValue(5);
    spin->setSuffix(" h");
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setValue(60);
    auto* list = new QListWidget;
    for (const char* name : {"Code", "Terminal", "Firefox", "Notes", "Figma", "Slack", "Zotero",
                             "Files", "Calendar"}) {
        list->addItem(name);
    }
    list->setCurrentRow(1);
    list->setFixedHeight(110);
    auto* disabled = new QLineEdit("Disabled field");
    disabled->setEnabled(false);
    auto* content =
        column({field, filled, row({combo, spin}, 8, true), check, slider, list, disabled}, 10);
    return page(content, 360);
}

WidgetPtr menuView()
{
    auto menu = std::make_unique<QMenu>();
    menu->addAction("Open Dashboard");
    menu->addAction("Pin project");
    menu->addSeparator();
    auto* checked = menu->addAction("Show lock-in display");
    checked->setCheckable(true);
    checked->setChecked(true);
    menu->addAction("Pause tracking")->setEnabled(false);
    menu->addSeparator();
    menu->addAction("Quit Kestrove");
    menu->setActiveAction(menu->actions().at(1));
    return menu;
}

WidgetPtr untrustedTextView()
{
    // Names that look like markup are shown as the characters they are.
    auto* content = column({new SectionHeader("<b>x</b>", QString("<i>2h</i>")),
                            plainLabel("Window: <a href=\"https://example.org\">link</a>"),
                            new EmptyHint("<img src=\"x\"> Project & <u>notes</u>")},
                           8);
    return page(ksCard(content, 16), 360);
}

// The overlays take a whole screen, the smaller of the test desktop's two.
constexpr QSize kOverlayScreen(1024, 768);

// What a screen might show when the wall comes up: a code editor and a chat window, which
// the overlay then frosts.
QImage desktopPicture()
{
    QImage picture(kOverlayScreen, QImage::Format_RGB32);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, kOverlayScreen.width(), kOverlayScreen.height());
    sky.setColorAt(0, QColor(0x2B, 0x4C, 0x7E));
    sky.setColorAt(1, QColor(0x7A, 0x4E, 0x8C));
    painter.fillRect(picture.rect(), sky);
    const auto window = [&](const QRect& frame, const QColor& body, const QColor& accent) {
        painter.fillPath(continuousRoundedRect(frame, 10), body);
        painter.fillRect(QRect(frame.left(), frame.top() + 10, frame.width(), 18), accent);
        for (int y = frame.top() + 48; y < frame.bottom() - 20; y += 22) {
            const int length = 80 + (y * 37) % (frame.width() - 120);
            painter.fillRect(QRect(frame.left() + 24, y, length, 9), accent.lighter(160));
        }
    };
    window(QRect(60, 70, 560, 520), QColor(0x1E, 0x1F, 0x24), QColor(0x3A, 0x6E, 0xA5));
    window(QRect(520, 220, 430, 470), QColor(0xF4, 0xF1, 0xEA), QColor(0xE0, 0x6C, 0x4F));
    return picture;
}

std::unique_ptr<BlockingOverlayView> wall(WallContent content)
{
    auto view = std::make_unique<BlockingOverlayView>(
        std::move(content), OverlayScreens::WallActions{}, 0, FrostedBackdrop(desktopPicture()));
    view->setFixedSize(kOverlayScreen);
    return view;
}

WidgetPtr wallView(bool canAllow, std::optional<std::string> name)
{
    return wall({"That can wait. The work in front of you can't.", std::move(name), canAllow});
}

enum class Typed
{
    nothing,
    part,
    wrong
};

WidgetPtr breakOutView(Typed typed)
{
    auto view = wall({"Not now.", std::string("Chatter"), true});
    view->findChild<QPushButton*>("typeEscape")->click();
    view->releaseKeyboard();
    view->escapeField()->releaseKeyboard();
    switch (typed) {
    case Typed::nothing:
        break;
    case Typed::part:
        view->escapeField()->setPlainText("I am knowingly deciding to abandon my focused");
        break;
    case Typed::wrong:
        // A typographic apostrophe: close, but not the sentence. The field rests jolted aside.
        view->escapeField()->setPlainText("I am knowingly deciding to abandon my focused work "
                                          "block and spend my later self\u2019s time.");
        view->pressBreakOut();
        break;
    }
    return view;
}

std::unique_ptr<TimeUpView> timeUp(std::optional<SessionStats> stats)
{
    auto view = std::make_unique<TimeUpView>(
        "Draft the sampling chapter & fix <figure> captions", OverlayScreens::TimeUpActions{},
        [stats] { return stats; }, FrostedBackdrop(desktopPicture()));
    view->setFixedSize(kOverlayScreen);
    return view;
}

WidgetPtr timeUpView(int morePresses)
{
    auto view = timeUp(std::nullopt);
    for (int i = 0; i < morePresses; ++i) {
        view->findChild<QPushButton*>("moreMinutes")->click();
    }
    return view;
}

WidgetPtr celebrationView(std::optional<double> score)
{
    auto view = timeUp(SessionStats{"Draft the sampling chapter & fix <figure> captions",
                                    3 * 3600 + 5 * 60, 2 * 3600 + 47 * 60, score});
    view->activateDefault();
    return view;
}

} // namespace

WidgetPtr dashboardPage()
{
    auto* today = column({new Eyebrow("Deep work today", KS::deep()),
                          text("3h 12m", 30, QFont::Bold, KS::text()),
                          new Waterline(0.64, 8, KS::deepGradient()),
                          row({new StatChip("Deep", "3h 12m", KS::deep()),
                               new StatChip("Shallow", "1h 05m", KS::shallow()),
                               new StatChip("Distraction", "24m", KS::distraction())},
                              12, true)},
                         10);

    auto* ring = new ProgressRingView(0.72, 10);
    ring->setFixedSize(96, 96);
    auto* goal = column({new SectionHeader("Daily goal", QString("5h")),
                         row({ring, column({new StatChip("Done", "72%", KS::deep()),
                                            new StatChip("Left", "1h 24m", KS::text())},
                                           6)},
                             16, true)},
                        12);

    auto* projects = new QWidget;
    auto* projectRows = new QVBoxLayout(projects);
    projectRows->setContentsMargins(0, 0, 0, 0);
    projectRows->setSpacing(8);
    projectRows->addWidget(new SectionHeader("Where the time went", QString("6h 40m")));
    const struct
    {
        const char* name;
        std::optional<std::string> key;
        const char* time;
        double share;
    } shares[] = {{"Kestrove", "violet", "2h 10m", 0.55},
                  {"Thesis", "teal", "1h 25m", 0.36},
                  {"Garden planner", "amber", "40m", 0.17},
                  {"Unassigned", std::nullopt, "25m", 0.1}};
    for (const auto& share : shares) {
        projectRows->addWidget(
            row({new ProjectDot(share.key, 9), text(share.name, 12, QFont::Normal, KS::text())}, 8,
                true));
        const QColor colour = ProjectDot::colorFor(share.key);
        projectRows->addWidget(new Waterline(share.share, 5, {{0, colour}, {1, colour}}));
    }

    auto* blocks = column({new SectionHeader("Focus blocks", QString("4")),
                           labelled(new KindDot(ContextKind::deep, 8), "09:10 – 10:35 · 1h 25m"),
                           labelled(new KindDot(ContextKind::deep, 8), "11:00 – 11:40 · 40m"),
                           labelled(new KindDot(ContextKind::shallow, 8), "13:15 – 13:50 · 35m"),
                           labelled(new KindDot(ContextKind::distraction, 8), "14:05 · 12m away")},
                          8);

    auto* allowlist = column({new SectionHeader("Allowed during lock-in"), chips(300)}, 10);

    auto* unassigned =
        column({new SectionHeader("Unassigned", QString("25m")),
                new EmptyHint("Time that no rule matched. Assign it to a project to keep the week "
                              "honest."),
                row({new PillButton("Assign", {true}), new PillButton("Later", {false})}, 8, true)},
               8);

    auto* grid = new QWidget;
    auto* layout = new QGridLayout(grid);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(16);
    QWidget* cards[] = {today, goal, projects, blocks, allowlist, unassigned};
    for (int i = 0; i < 6; ++i) {
        layout->addWidget(ksCard(cards[i], 18), i / 3, i % 3, Qt::AlignTop);
    }
    for (int c = 0; c < 3; ++c) {
        layout->setColumnStretch(c, 1);
    }
    return page(grid, 1100, 24);
}

std::unique_ptr<QApplication> offscreenApplication(int& argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    auto app = std::make_unique<QApplication>(argc, argv);
    applyTheme(*app);
    return app;
}

std::vector<GalleryView> galleryViews()
{
    return {
        {"palette", paletteView},
        {"project-colors", projectColorsView},
        {"card", cardView},
        {"eyebrow", eyebrowView},
        {"statchip", [] { return statChipView("3h 12m", 0); }},
        {"statchip-long-value", [] { return statChipView("12h 48m of deep work", 330); }},
        {"kinddot", kindDotView},
        {"projectdot", projectDotView},
        {"waterline-empty", [] { return waterlineView(0); }},
        {"waterline-negative", [] { return waterlineView(-0.4); }},
        {"waterline-half", [] { return waterlineView(0.5); }},
        {"waterline-over-full", [] { return waterlineView(1.3); }},
        {"ring-empty", [] { return ringView(0); }},
        {"ring-quarter", [] { return ringView(0.25); }},
        {"ring-two-thirds", [] { return ringView(0.66); }},
        {"ring-full", [] { return ringView(1.2); }},
        {"pill-plain", [] { return pillView(false, false); }},
        {"pill-plain-pressed", [] { return pillView(false, true); }},
        {"pill-prominent", [] { return pillView(true, false); }},
        {"pill-prominent-pressed", [] { return pillView(true, true); }},
        {"sectionheader", [] { return sectionHeaderView(false); }},
        {"sectionheader-trailing", [] { return sectionHeaderView(true); }},
        {"emptyhint", emptyHintView},
        {"infotip-closed", [] { return infoTipView(false); }},
        {"infotip-open", [] { return infoTipView(true); }},
        {"flowlayout-wide", [] { return flowView(420); }},
        {"flowlayout-narrow", [] { return flowView(200); }},
        {"glasscard", glassCardView},
        {"standard-widgets", standardWidgetsView},
        {"menu", menuView},
        {"untrusted-text", untrustedTextView},
        {"dashboard-cards", dashboardPage},
        {"lockdown-wall", [] { return wallView(true, "Chatter"); }},
        {"lockdown-wall-unnamed-app", [] { return wallView(true, std::nullopt); }},
        {"lockdown-wall-without-allow", [] { return wallView(false, "Chatter"); }},
        {"lockdown-breakout-empty", [] { return breakOutView(Typed::nothing); }},
        {"lockdown-breakout-partly-typed", [] { return breakOutView(Typed::part); }},
        {"lockdown-breakout-wrong-sentence", [] { return breakOutView(Typed::wrong); }},
        {"lockdown-timeup", [] { return timeUpView(0); }},
        {"lockdown-timeup-most-minutes", [] { return timeUpView(30); }},
        {"lockdown-celebration", [] { return celebrationView(72.5); }},
        {"lockdown-celebration-no-score", [] { return celebrationView(std::nullopt); }},
    };
}

std::vector<GalleryView> allGalleryViews()
{
    std::vector<GalleryView> views = galleryViews();
    for (auto& view : shellGalleryViews()) {
        views.push_back(std::move(view));
    }
    for (auto& view : focusGalleryViews()) {
        views.push_back(std::move(view));
    }
    for (auto& view : ritualsGalleryViews()) {
        views.push_back(std::move(view));
    }
    for (auto& view : todayGalleryViews()) {
        views.push_back(std::move(view));
    }
    for (auto& view : shareGalleryViews()) {
        views.push_back(std::move(view));
    }
    for (auto& view : popoverGalleryViews()) {
        views.push_back(std::move(view));
    }
    for (auto& view : settingsGalleryViews()) {
        views.push_back(std::move(view));
    }
    for (auto& view : weekGalleryViews()) {
        views.push_back(std::move(view));
    }
    return views;
}

QImage renderView(QWidget& view, qreal ratio)
{
    view.ensurePolished();
    view.adjustSize();
    if (view.layout()) {
        view.layout()->activate();
    }
    QImage image((QSizeF(view.size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(KS::ink());
    view.render(&image);
    return image;
}

QString checkPicture(const QString& path)
{
    QImage image;
    if (!image.load(path)) {
        return "missing or not a picture";
    }
    if (image.width() < 8 || image.height() < 8) {
        return "too small";
    }
    const QRgb background = image.pixel(0, 0);
    qsizetype differing = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            differing += image.pixel(x, y) != background ? 1 : 0;
        }
    }
    const qsizetype total = qsizetype(image.width()) * image.height();
    if (differing * 200 < total) {
        return QStringLiteral("blank (%1 of %2 pixels drawn)").arg(differing).arg(total);
    }
    return {};
}

} // namespace kestrove::gallery
