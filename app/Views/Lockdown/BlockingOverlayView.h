#pragma once

#include "ViewLogic/Lockdown/BlockingOverlayModel.h"
#include "ViewLogic/Lockdown/LockdownOverlay.h"

#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QStackedLayout;
class QHBoxLayout;

namespace kestrove {

// One screen's wall: the callout card with its three ways on, and the break-out card where
// the sentence is typed. The keyboard is grabbed by the field while the break-out card is up.
class BlockingOverlayView final : public QWidget
{
public:
    BlockingOverlayView(const WallContent& content, OverlayScreens::WallActions actions, int screen,
                        QWidget* parent = nullptr);

    // Return on the callout card: "OK, back to work".
    void activateDefault();
    bool isBreakOutCardShown() const;
    QPlainTextEdit* escapeField() const { return m_escapeField; }

private:
    QWidget* buildCalloutCard(const WallContent& content);
    QWidget* buildBreakOutCard();
    void showBreakOutCard();
    void cancelBreakOut();
    void refresh();

    BlockingOverlayModel m_model;
    OverlayScreens::WallActions m_actions;
    int m_screen;
    QStackedLayout* m_cards = nullptr;
    QPlainTextEdit* m_escapeField = nullptr;
    QHBoxLayout* m_fieldRow = nullptr;
    QPushButton* m_breakOutButton = nullptr;
};

} // namespace kestrove
