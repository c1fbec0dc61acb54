#pragma once

#include <QWidget>

#include <optional>

namespace kestrove {

// A section's title (14 points semibold, KS.text) at the leading edge and, when given, a
// short note (12 points, KS.textTertiary) at the trailing edge, on one shared baseline.
class SectionHeader : public QWidget
{
public:
    SectionHeader(const QString& title, std::optional<QString> trailing = std::nullopt,
                  QWidget* parent = nullptr);

    const QString& title() const { return m_title; }
    const std::optional<QString>& trailing() const { return m_trailing; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_title;
    std::optional<QString> m_trailing;
};

} // namespace kestrove
