#pragma once

#include "core/ContextKind.h"

#include <QWidget>

namespace kestrove {

// A circle of diameter `size` in the colour of a kind of activity.
class KindDot : public QWidget
{
public:
    KindDot(ContextKind kind, int size, QWidget* parent = nullptr);

    void setKind(ContextKind kind);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ContextKind m_kind;
};

} // namespace kestrove
