#pragma once

#include <QColor>
#include <QWidget>

#include <optional>
#include <string>

namespace kestrove {

// A small square with softened corners in a project's colour; without a colour key it shows
// KS.unassignedColor, the one colour of time that belongs to no project.
class ProjectDot : public QWidget
{
public:
    ProjectDot(std::optional<std::string> colorKey, int size, QWidget* parent = nullptr);

    static QColor colorFor(const std::optional<std::string>& colorKey);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

} // namespace kestrove
