#include "Views/Components/SpringValue.h"

#include "ViewLogic/Design/ComponentGeometry.h"

#include <QEasingCurve>
#include <QVariantAnimation>
#include <QWidget>

#include <cmath>

namespace kestrove {

namespace {

constexpr double kResponse = 0.8;

// The spring's course over the animation's normalised time, ending exactly at 1.
qreal springCurve(qreal progress)
{
    const double settle = ComponentGeometry::springSettleTime(kResponse);
    return ComponentGeometry::springProgress(progress * settle, kResponse) /
           ComponentGeometry::springProgress(settle, kResponse);
}

} // namespace

SpringValue::SpringValue(QWidget* owner, double initial)
    : QObject(owner), m_owner(owner), m_animation(new QVariantAnimation(this)), m_target(initial),
      m_shown(initial)
{
    QEasingCurve curve;
    curve.setCustomType(springCurve);
    m_animation->setEasingCurve(curve);
    m_animation->setDuration(
        static_cast<int>(std::lround(ComponentGeometry::springSettleTime(kResponse) * 1000)));
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_shown = value.toDouble();
        m_owner->update();
    });
}

void SpringValue::setTarget(double target)
{
    if (target == m_target && !std::isnan(target)) {
        return;
    }
    m_target = target;
    m_animation->stop();
    // Not a number cannot be interpolated; the widgets draw it as nothing.
    if (!m_owner->isVisible() || std::isnan(target) || std::isnan(m_shown)) {
        m_shown = target;
        m_owner->update();
        return;
    }
    m_animation->setStartValue(m_shown);
    m_animation->setEndValue(target);
    m_animation->start();
}

} // namespace kestrove
