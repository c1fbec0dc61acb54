#include "Views/FlowHUDView.h"

#include "Engine/SessionEngine.h"
#include "Views/Components/Shapes.h"
#include "Views/Components/Symbol.h"
#include "Views/Theme.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace kestrove {

namespace {

using namespace FlowHUDGeometry;

constexpr int kPillHeight = kPanelHeight - 16; // 16 below the pill for its shadow
constexpr int kInsetAcross = 14;

QFont tracked(QFont font, qreal spacing)
{
    font.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    return font;
}

PixelRect toPixelRect(const QRect& rect)
{
    return {rect.x(), rect.y(), rect.width(), rect.height()};
}

// The main screen's area left by panels and docks, where the pill may go.
std::optional<PixelRect> mainAvailableArea()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        return toPixelRect(screen->availableGeometry());
    }
    return std::nullopt;
}

} // namespace

FlowHUDView::FlowHUDView(SessionEngine& engine, QWidget* parent)
    : QWidget(parent), m_engine(engine), m_timer(new QTimer(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(kPanelWidth, kPanelHeight);
    m_timer->setInterval(1000);
    connect(m_timer, &QTimer::timeout, this, &FlowHUDView::refresh);
    const FocusTaskManager& tasks = m_engine.focusTaskManager();
    m_content = flowHUDContent(tasks.active(), tasks.isAccumulating(), m_engine.tracker().isIdle());
}

QSize FlowHUDView::sizeHint() const
{
    return {kPanelWidth, kPanelHeight};
}

void FlowHUDView::refresh()
{
    const FocusTaskManager& tasks = m_engine.focusTaskManager();
    FlowHUDContent next =
        flowHUDContent(tasks.active(), tasks.isAccumulating(), m_engine.tracker().isIdle());
    if (next == m_content) {
        return;
    }
    m_content = std::move(next);
    update();
}

void FlowHUDView::paintEvent(QPaintEvent*)
{
    ++m_repaints;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF pill(kPanelWidth - kPillWidth, 0, kPillWidth, kPillHeight);
    const QPainterPath shape = continuousRoundedRect(pill.adjusted(0.5, 0.5, -0.5, -0.5), 12);

    // A soft shadow below the pill: black at 0.35, spread over about 10 and 4 lower.
    for (int ring = 10; ring >= 1; ring -= 1) {
        QColor shade(0, 0, 0);
        shade.setAlphaF(0.035f * (11 - ring) / 10.0f);
        const qreal grow = ring * 0.6;
        painter.fillPath(
            continuousRoundedRect(pill.translated(0, 4).adjusted(-grow, -grow + 2, grow, grow),
                                  12 + grow),
            shade);
    }
    QColor fill = KS::ink();
    fill.setAlphaF(0.92f);
    painter.fillPath(shape, fill);
    painter.setPen(QPen(KS::border(), 1));
    painter.drawPath(shape);

    const QColor state = m_content.state == TaskCounting::onTask ? KS::success() : KS::shallow();
    const qreal left = pill.left() + kInsetAcross;
    const qreal right = pill.right() - kInsetAcross;
    const qreal middle = pill.center().y();
    paintSymbol(painter, u"lock.fill", QRectF(left, middle - 5.5, 11, 11), KS::deepLight());

    const QFont clockFont = uiFont(18, QFont::Bold);
    const QFontMetrics clockMetrics(clockFont);
    const QString clock = QString::fromStdString(m_content.clock);
    const int clockWidth = clockMetrics.horizontalAdvance(clock);
    painter.setFont(clockFont);
    painter.setPen(state);
    painter.drawText(QRectF(right - clockWidth, pill.top(), clockWidth, kPillHeight),
                     Qt::AlignRight | Qt::AlignVCenter, clock);

    const qreal textLeft = left + 11 + 10;
    const qreal textWidth = std::max(0.0, right - clockWidth - 6 - textLeft);
    const QFont titleFont = uiFont(11, QFont::Medium);
    const QFont wordFont = tracked(uiFont(10, QFont::DemiBold), 1);
    const QFontMetrics titleMetrics(titleFont);
    const QFontMetrics wordMetrics(wordFont);
    const qreal blockHeight = titleMetrics.height() + 1 + wordMetrics.height();
    const qreal top = middle - blockHeight / 2;
    painter.setFont(titleFont);
    painter.setPen(KS::text());
    painter.drawText(QRectF(textLeft, top, textWidth, titleMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     titleMetrics.elidedText(QString::fromStdString(m_content.title),
                                             Qt::ElideRight, static_cast<int>(textWidth)));
    painter.setFont(wordFont);
    painter.setPen(state);
    painter.drawText(
        QRectF(textLeft, top + titleMetrics.height() + 1, textWidth, wordMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
        QString::fromStdString(m_content.stateWord));
}

void FlowHUDView::showEvent(QShowEvent* event)
{
    refresh();
    m_timer->start();
    QWidget::showEvent(event);
}

void FlowHUDView::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

void FlowHUDView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint global = event->globalPosition().toPoint();
        m_drag.press({global.x(), global.y()});
    }
}

void FlowHUDView::mouseMoveEvent(QMouseEvent* event)
{
    const auto available = mainAvailableArea();
    if (!available || !isWindow()) {
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (const auto top = m_drag.move({global.x(), global.y()}, y(), *available)) {
        move(x(), *top);
    }
}

void FlowHUDView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        return;
    }
    if (const auto top = m_drag.release(y()); top && onDragEnd) {
        onDragEnd(*top);
    }
}

} // namespace kestrove
