#pragma once

#include "ViewLogic/Shell/FlowHUDModel.h"

#include <QWidget>

#include <functional>

class QTimer;

namespace kestrove {

class SessionEngine;

// The floating lock-in display's pill: the lock, the task's name over how it is counted, and
// the time left, in green while on task and amber while not. Redrawn once a second while
// shown, and only when what it shows changed. It follows a vertical drag of the pointer and
// says where it was left.
class FlowHUDView final : public QWidget
{
public:
    explicit FlowHUDView(SessionEngine& engine, QWidget* parent = nullptr);

    // Called with the panel's top when a drag ends.
    std::function<void(int top)> onDragEnd;

    void refresh();
    const FlowHUDContent& content() const { return m_content; }
    int repaintCount() const { return m_repaints; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    SessionEngine& m_engine;
    FlowHUDContent m_content;
    FlowHUDDrag m_drag;
    QTimer* m_timer;
    int m_repaints = 0;
};

} // namespace kestrove
