#pragma once

#include <QObject>

#include <functional>

class QVariantAnimation;

namespace kestrove {

// A shown value that follows its target like a critically damped spring of 0.8 s (no
// overshoot). A new target while moving starts from where the value is. A widget that is not
// on screen jumps straight to its target, so offscreen renders show the final state.
class SpringValue : public QObject
{
public:
    SpringValue(QWidget* owner, double initial);

    void setTarget(double target);
    double target() const { return m_target; }
    double shown() const { return m_shown; }

private:
    QWidget* m_owner;
    QVariantAnimation* m_animation;
    double m_target;
    double m_shown;
};

} // namespace kestrove
