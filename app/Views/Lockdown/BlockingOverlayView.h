#pragma once

#include "ViewLogic/Lockdown/BlockingOverlayModel.h"
#include "ViewLogic/Lockdown/LockdownOverlay.h"
#include "Views/Lockdown/OverlayParts.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

class QPlainTextEdit;
class QPushButton;
class QStackedLayout;

namespace kestrove {

// One screen's wall over the frosted screen: the callout card with its three ways on, and the
// break-out card where the sentence is typed. The keyboard is grabbed by the field while the
// break-out card is up.
class BlockingOverlayView final : public QWidget
{
public:
    BlockingOverlayView(const WallContent& content, OverlayScreens::WallActions actions, int screen,
                        FrostedBackdrop backdrop = {}, QWidget* parent = nullptr);

    // Return on the callout card: "OK, back to work".
    void activateDefault();
    bool isBreakOutCardShown() const;
    QPlainTextEdit* escapeField() const { return m_escapeField; }
    // The field's sideways offset now, in points (negative: to the left).
    double fieldOffset() const { return m_fieldOffset; }
    // Jumps any running jolt to where it comes to rest.
    void finishAnimations();
    // "Break out": ends the task when the typed text matches, else jolts the field.
    void pressBreakOut();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* buildCalloutCard(const WallContent& content);
    QWidget* buildBreakOutCard();
    void showBreakOutCard();
    void cancelBreakOut();
    void refresh();
    void startWiggle();
    void placeField();

    BlockingOverlayModel m_model;
    OverlayScreens::WallActions m_actions;
    int m_screen;
    FrostedBackdrop m_backdrop;
    QStackedLayout* m_cards = nullptr;
    QWidget* m_fieldPlace = nullptr; // keeps the field's room in the layout
    QWidget* m_fieldBox = nullptr;   // the field's rounded box, moved sideways by the jolt
    QPlainTextEdit* m_escapeField = nullptr;
    QPushButton* m_breakOutButton = nullptr;

    double m_fieldOffset = 0;
    double m_wiggleFrom = 0;
    QElapsedTimer m_wiggleClock;
    QTimer m_wiggleFrames;
};

} // namespace kestrove
