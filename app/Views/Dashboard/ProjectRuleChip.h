#pragma once

#include "core/ProjectRules.h"

#include <QWidget>

#include <functional>

namespace kestrove {

// One rule as a capsule: its kind in small capitals-style type, then its text; with `onRemove`
// a cross at the end removes it.
class ProjectRuleChip final : public QWidget
{
public:
    explicit ProjectRuleChip(const ProjectRule& rule, std::function<void()> onRemove = {},
                             QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace kestrove
