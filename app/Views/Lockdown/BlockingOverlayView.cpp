#include "Views/Lockdown/BlockingOverlayView.h"

#include "Views/Components/GlassCard.h"
#include "Views/Components/Shapes.h"
#include "Views/Theme.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace kestrove {

namespace {

constexpr int kFieldWidth = 560;
constexpr int kFieldHeight = 80;
constexpr int kFieldPadding = 8;
constexpr qreal kFieldRadius = 8;
constexpr int kFrameMilliseconds = 16;

QColor withAlpha(QColor colour, qreal alpha)
{
    colour.setAlphaF(static_cast<float>(colour.alphaF() * alpha));
    return colour;
}

// The rounded box around the break-out field: a dark, slightly see-through ground with a
// hairline edge.
class FieldBox final : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
        painter.fillPath(continuousRoundedRect(box, kFieldRadius), withAlpha(KS::ink(), 0.6));
        QColor edge(Qt::white);
        edge.setAlphaF(0.14f);
        painter.setPen(QPen(edge, 1));
        painter.drawPath(continuousRoundedRect(box, kFieldRadius));
    }
};

} // namespace

BlockingOverlayView::BlockingOverlayView(const WallContent& content,
                                         OverlayScreens::WallActions actions, int screen,
                                         FrostedBackdrop backdrop, QWidget* parent)
    : QWidget(parent), m_actions(std::move(actions)), m_screen(screen),
      m_backdrop(std::move(backdrop))
{
    m_cards = new QStackedLayout(this);
    m_cards->addWidget(centredOnScreen(new GlassCard(buildCalloutCard(content)), this));
    m_cards->addWidget(centredOnScreen(new GlassCard(buildBreakOutCard()), this));
    m_wiggleFrames.setInterval(kFrameMilliseconds);
    connect(&m_wiggleFrames, &QTimer::timeout, this, [this] {
        const double seconds = static_cast<double>(m_wiggleClock.elapsed()) / 1000.0;
        m_fieldOffset =
            BlockingOverlayModel::wiggleAt(m_wiggleFrom, m_model.wiggleOffset(), seconds);
        if (seconds >= BlockingOverlayModel::kWiggleSettle) {
            m_wiggleFrames.stop();
        }
        placeField();
    });
    refresh();
}

QWidget* BlockingOverlayView::buildCalloutCard(const WallContent& content)
{
    auto* card = new QWidget(this);
    card->setObjectName("calloutCard");
    auto* layout = new QVBoxLayout(card);
    layout->setSpacing(22);
    layout->setContentsMargins(44, 36, 44, 36);

    layout->addWidget(new SymbolView("lock.fill", 28, KS::textSecondary(), card), 0,
                      Qt::AlignHCenter);
    auto* callout =
        overlayText(QString::fromStdString(content.callout), 28, QFont::DemiBold, KS::text(), card);
    callout->setObjectName("callout");
    callout->setAlignment(Qt::AlignCenter);
    fitText(*callout, 520);
    layout->addWidget(callout, 0, Qt::AlignHCenter);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(10);
    auto* back = overlayButton("OK, back to work", true, 280, card);
    back->setObjectName("backToWork");
    connect(back, &QPushButton::clicked, this, [this] { activateDefault(); });
    buttons->addWidget(back, 0, Qt::AlignHCenter);
    if (content.canAllow) {
        auto* allow = overlayButton(
            QString::fromStdString(BlockingOverlayModel::allowLabel(content.blockedAppName)), false,
            280, card);
        allow->setObjectName("allow");
        connect(allow, &QPushButton::clicked, this, [this] {
            if (m_actions.allow) {
                m_actions.allow();
            }
        });
        buttons->addWidget(allow, 0, Qt::AlignHCenter);
    }
    auto* escape = overlayButton("Type escape sentence", false, 280, card);
    escape->setObjectName("typeEscape");
    connect(escape, &QPushButton::clicked, this, [this] { showBreakOutCard(); });
    buttons->addWidget(escape, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    return card;
}

QWidget* BlockingOverlayView::buildBreakOutCard()
{
    auto* card = new QWidget(this);
    card->setObjectName("breakOutCard");
    auto* layout = new QVBoxLayout(card);
    layout->setSpacing(16);
    layout->setContentsMargins(36, 32, 36, 32);

    layout->addWidget(
        overlayText("To break out, type:", 13, QFont::Normal, KS::textSecondary(), card));
    auto* sentence = overlayText(
        "\"" + QString::fromStdString(std::string(BlockingOverlayModel::kBreakoutSentence)) + "\"",
        16, QFont::Medium, withAlpha(KS::text(), 0.85), card);
    sentence->setObjectName("sentence");
    fitText(*sentence, kFieldWidth);
    layout->addWidget(sentence, 0, Qt::AlignLeft);

    // The box lies over an empty place of its size, so that the jolt can move it sideways
    // without the layout following.
    const QSize boxSize(kFieldWidth + 2 * kFieldPadding, kFieldHeight + 2 * kFieldPadding);
    m_fieldPlace = new QWidget(card);
    m_fieldPlace->setFixedSize(boxSize);
    m_fieldPlace->installEventFilter(this);
    layout->addWidget(m_fieldPlace, 0, Qt::AlignLeft);
    m_fieldBox = new FieldBox(card);
    m_fieldBox->resize(boxSize);
    m_escapeField = new QPlainTextEdit(m_fieldBox);
    m_escapeField->setObjectName("escapeField");
    m_escapeField->setGeometry(kFieldPadding, kFieldPadding, kFieldWidth, kFieldHeight);
    m_escapeField->setFont(uiFont(15));
    m_escapeField->setFrameShape(QFrame::NoFrame);
    m_escapeField->setTabChangesFocus(true);
    m_escapeField->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_escapeField->viewport()->setAutoFillBackground(false);
    m_escapeField->document()->setDocumentMargin(0);
    QPalette palette = m_escapeField->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, KS::text());
    m_escapeField->setPalette(palette);
    connect(m_escapeField, &QPlainTextEdit::textChanged, this, [this] {
        m_model.setEscapeText(m_escapeField->toPlainText().toStdString());
        refresh();
    });

    auto* row = new QHBoxLayout;
    row->setSpacing(10);
    row->addStretch();
    auto* cancel = overlayButton("Cancel", false, 0, card);
    cancel->setObjectName("cancel");
    connect(cancel, &QPushButton::clicked, this, [this] { cancelBreakOut(); });
    row->addWidget(cancel);
    auto* breakOut = overlayButton("Break out", true, 0, card);
    m_breakOutButton = breakOut;
    m_breakOutButton->setObjectName("breakOut");
    connect(m_breakOutButton, &QPushButton::clicked, this, [this] { pressBreakOut(); });
    row->addWidget(m_breakOutButton);
    layout->addLayout(row);
    return card;
}

void BlockingOverlayView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    m_backdrop.paint(painter, rect());
}

bool BlockingOverlayView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_fieldPlace &&
        (event->type() == QEvent::Move || event->type() == QEvent::Resize)) {
        placeField();
    }
    return QWidget::eventFilter(watched, event);
}

void BlockingOverlayView::placeField()
{
    m_fieldBox->move(m_fieldPlace->pos() + QPoint(static_cast<int>(std::lround(m_fieldOffset)), 0));
}

void BlockingOverlayView::activateDefault()
{
    if (m_model.card() == BlockingOverlayModel::Card::callout && m_actions.dismiss) {
        m_actions.dismiss();
    }
}

bool BlockingOverlayView::isBreakOutCardShown() const
{
    return m_model.card() == BlockingOverlayModel::Card::breakOut;
}

void BlockingOverlayView::showBreakOutCard()
{
    m_model.showBreakOutCard();
    refresh();
    // The wall's windows never take focus from the window manager: the field takes the keyboard.
    m_escapeField->setFocus();
    m_escapeField->grabKeyboard();
    if (m_actions.breakOutCardShown) {
        m_actions.breakOutCardShown(m_screen, true);
    }
}

void BlockingOverlayView::cancelBreakOut()
{
    m_escapeField->releaseKeyboard();
    m_model.cancel();
    m_escapeField->clear();
    refresh();
    window()->grabKeyboard();
    if (m_actions.breakOutCardShown) {
        m_actions.breakOutCardShown(m_screen, false);
    }
}

void BlockingOverlayView::pressBreakOut()
{
    if (m_model.pressBreakOut()) {
        if (m_actions.breakOut) {
            m_actions.breakOut();
        }
        return;
    }
    startWiggle();
    refresh();
}

void BlockingOverlayView::startWiggle()
{
    m_wiggleFrom = m_fieldOffset;
    // Offscreen (the gallery) there are no frames to show: the field rests at once.
    if (!isVisible()) {
        finishAnimations();
        return;
    }
    m_wiggleClock.start();
    m_wiggleFrames.start();
}

void BlockingOverlayView::finishAnimations()
{
    m_wiggleFrames.stop();
    m_fieldOffset = m_model.wiggleOffset();
    placeField();
}

void BlockingOverlayView::refresh()
{
    m_cards->setCurrentIndex(isBreakOutCardShown() ? 1 : 0);
    m_breakOutButton->setEnabled(m_model.canBreakOut());
}

} // namespace kestrove
