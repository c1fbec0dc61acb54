#pragma once

#include "ViewLogic/Settings/SettingsModel.h"
#include "core/ContextKind.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QWidget>

#include <functional>
#include <optional>

class QHBoxLayout;
class QLabel;
class QVBoxLayout;

namespace kestrove {

class PillButton;

// A title (13 semibold, KS.text) over its detail (11, KS.textSecondary, wrapped, never cut).
QWidget* titleDetail(const QString& title, const QString& detail, QLabel** detailLabel = nullptr);

// A settings row: the title and detail at the leading edge, the control at the trailing edge,
// top-aligned, 12 apart.
QWidget* settingRow(const QString& title, const QString& detail, QWidget* control,
                    QLabel** detailLabel = nullptr);

// Layouts without margins: a card's column and a row, `spacing` apart.
QVBoxLayout* columnLayout(QWidget* widget, int spacing);
QHBoxLayout* rowLayout(QWidget* widget, int spacing);

// A rounded KS.surface2 ground under a field or a box of text.
class RoundedGround final : public QWidget
{
public:
    explicit RoundedGround(qreal radius, QWidget* parent = nullptr)
        : QWidget(parent), m_radius(radius)
    {}

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_radius;
};

// The leading-aligned column of a card, `spacing` apart, wrapped in a KSCard padded 18.
QWidget* settingsCard(QWidget* column);

// A round switch: on is the deep colour with the knob at the right.
class SettingsSwitch final : public QAbstractButton
{
public:
    explicit SettingsSwitch(QWidget* parent = nullptr);
    QSize sizeHint() const override { return {36, 20}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A menu of options at a fixed width; `onChosen` gets the index the user picked. A selection
// that is none of the options shows empty.
class SettingsMenu final : public QComboBox
{
public:
    SettingsMenu(const std::vector<std::string>& labels, int width, QWidget* parent = nullptr);

    // Shows the option without telling `onChosen`.
    void select(std::optional<std::size_t> index);
    std::function<void(std::size_t)> onChosen;
};

template <typename T>
std::vector<std::string> optionLabels(const std::vector<SettingOption<T>>& options)
{
    std::vector<std::string> labels;
    for (const auto& option : options) {
        labels.push_back(option.label);
    }
    return labels;
}

// The kinds a user may choose, by their names.
SettingsMenu* kindMenu(int width);
std::optional<std::size_t> kindIndex(ContextKind kind);

// A removable chip: an optional kind dot, the label (11 medium, one line) and a small cross,
// on a KS.surface2 capsule.
class RemovableChip final : public QWidget
{
public:
    RemovableChip(const QString& label, std::optional<ContextKind> kind,
                  std::function<void()> onRemove, QWidget* parent = nullptr);
    QAbstractButton* removeButton() const { return m_remove; }
    QString label() const { return m_label; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_label;
    QAbstractButton* m_remove;
};

// A row of the permissions card, redrawn with setRow().
class PermissionRowView final : public QWidget
{
public:
    explicit PermissionRowView(std::function<void()> action = {}, QWidget* parent = nullptr);

    void setRow(const PermissionRow& row);
    const PermissionRow& row() const { return m_row; }
    PillButton* grantButton() const { return m_grant; }
    bool showsOn() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PermissionRow m_row;
    QLabel* m_title;
    QLabel* m_detail;
    PillButton* m_grant;
    QLabel* m_on;
};

} // namespace kestrove
