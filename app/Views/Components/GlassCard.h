#pragma once

#include <QImage>
#include <QMargins>
#include <QWidget>

namespace kestrove {

// The frosted card of the full-screen walls: the content over a translucent rounded panel
// (24-point continuous corners) with a 1-point inner border of white at 0.18, lifted by two
// soft shadows. The widget keeps room around the card for the shadows to fall into.
class GlassCard : public QWidget
{
public:
    explicit GlassCard(QWidget* content, QWidget* parent = nullptr);

    // The room kept on each side for the shadows.
    static QMargins shadowMargins();
    // The card itself, inside the shadow room.
    QRect cardRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const QImage& shadowImage(qreal ratio);

    QImage m_shadow;
};

} // namespace kestrove
