#pragma once

#include <QAbstractButton>
#include <QPointer>
#include <QWidget>

namespace kestrove {

// The card an InfoTip opens: its title (12 points semibold) over the detail (11 points,
// secondary text, wrapped to its full height), inset 12, exactly 260 points wide, with an
// arrow on its top edge that points at the icon. InfoTip shows it as a pop-up window.
class InfoTipPopover : public QWidget
{
public:
    InfoTipPopover(const QString& title, const QString& detail, QWidget* parent = nullptr);

    static constexpr int kWidth = 260;
    static constexpr int kArrowHeight = 7;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A chrome-less "info.circle" button in KS.textTertiary. A click opens its popover below the
// icon and another click closes it; closing it from outside counts as closed too. No hover.
class InfoTip : public QAbstractButton
{
public:
    InfoTip(const QString& title, const QString& detail, QWidget* parent = nullptr);

    bool isShowing() const { return m_popover && m_popover->isVisible(); }
    QWidget* popover() const { return m_popover; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void toggle();
    void open();

    QString m_title;
    QString m_detail;
    QPointer<InfoTipPopover> m_popover;
};

} // namespace kestrove
