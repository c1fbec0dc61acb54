#pragma once

#include <QWidget>

namespace kestrove {

// The card every page is built from: its content inset by `padding` on all four edges over a
// KS.surface fill with 16-point continuous corners and a 1-point KS.border outline. The card
// is as large as its inset content.
class KSCard : public QWidget
{
public:
    KSCard(QWidget* content, int padding, QWidget* parent = nullptr);

    QWidget* content() const { return m_content; }
    int padding() const { return m_padding; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* m_content;
    int m_padding;
};

// Wraps `content` in a card; the card takes ownership of it.
KSCard* ksCard(QWidget* content, int padding);

} // namespace kestrove
