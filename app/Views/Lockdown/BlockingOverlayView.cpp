#include "Views/Lockdown/BlockingOverlayView.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedLayout>
#include <QVBoxLayout>

namespace kestrove {

namespace {

QFont systemFont(int pointSize, QFont::Weight weight)
{
    QFont font;
    font.setPointSize(pointSize);
    font.setWeight(weight);
    return font;
}

QLabel* label(const QString& text, int pointSize, QFont::Weight weight, QWidget* parent)
{
    auto* result = new QLabel(text, parent);
    result->setFont(systemFont(pointSize, weight));
    result->setWordWrap(true);
    return result;
}

QPushButton* button(const QString& text, QWidget* parent, int maxWidth = 280)
{
    auto* result = new QPushButton(text, parent);
    result->setMaximumWidth(maxWidth);
    result->setMinimumHeight(36);
    return result;
}

// Centres a card in the full-screen window.
QWidget* centred(QWidget* card, QWidget* parent)
{
    auto* holder = new QWidget(parent);
    auto* layout = new QGridLayout(holder);
    layout->addWidget(card, 0, 0, Qt::AlignCenter);
    return holder;
}

} // namespace

BlockingOverlayView::BlockingOverlayView(const WallContent& content,
                                         OverlayScreens::WallActions actions, int screen,
                                         QWidget* parent)
    : QWidget(parent), m_actions(std::move(actions)), m_screen(screen)
{
    m_cards = new QStackedLayout(this);
    m_cards->addWidget(centred(buildCalloutCard(content), this));
    m_cards->addWidget(centred(buildBreakOutCard(), this));
    refresh();
}

QWidget* BlockingOverlayView::buildCalloutCard(const WallContent& content)
{
    auto* card = new QFrame(this);
    card->setObjectName("calloutCard");
    card->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QVBoxLayout(card);
    layout->setSpacing(22);
    layout->setContentsMargins(44, 36, 44, 36);

    auto* callout = label(QString::fromStdString(content.callout), 28, QFont::DemiBold, card);
    callout->setObjectName("callout");
    callout->setAlignment(Qt::AlignCenter);
    callout->setMaximumWidth(520);
    layout->addWidget(callout, 0, Qt::AlignHCenter);

    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(10);
    auto* back = button("OK, back to work", card);
    back->setObjectName("backToWork");
    back->setDefault(true);
    back->setFont(systemFont(back->font().pointSize(), QFont::DemiBold));
    connect(back, &QPushButton::clicked, this, [this] { activateDefault(); });
    buttons->addWidget(back, 0, Qt::AlignHCenter);
    if (content.canAllow) {
        auto* allow = button(
            QString::fromStdString(BlockingOverlayModel::allowLabel(content.blockedAppName)), card);
        allow->setObjectName("allow");
        connect(allow, &QPushButton::clicked, this, [this] {
            if (m_actions.allow) {
                m_actions.allow();
            }
        });
        buttons->addWidget(allow, 0, Qt::AlignHCenter);
    }
    auto* escape = button("Type escape sentence", card);
    escape->setObjectName("typeEscape");
    connect(escape, &QPushButton::clicked, this, [this] { showBreakOutCard(); });
    buttons->addWidget(escape, 0, Qt::AlignHCenter);
    layout->addLayout(buttons);
    return card;
}

QWidget* BlockingOverlayView::buildBreakOutCard()
{
    auto* card = new QFrame(this);
    card->setObjectName("breakOutCard");
    card->setFrameShape(QFrame::StyledPanel);
    card->setMaximumWidth(640);
    auto* layout = new QVBoxLayout(card);
    layout->setSpacing(16);
    layout->setContentsMargins(36, 32, 36, 32);

    layout->addWidget(label("To break out, type:", 12, QFont::Normal, card));
    auto* sentence = label(
        "\"" + QString::fromStdString(std::string(BlockingOverlayModel::kBreakoutSentence)) + "\"",
        16, QFont::Medium, card);
    sentence->setMaximumWidth(560);
    layout->addWidget(sentence);

    m_escapeField = new QPlainTextEdit(card);
    m_escapeField->setObjectName("escapeField");
    m_escapeField->setFont(systemFont(15, QFont::Normal));
    m_escapeField->setFixedSize(560, 80);
    m_escapeField->setTabChangesFocus(true);
    connect(m_escapeField, &QPlainTextEdit::textChanged, this, [this] {
        m_model.setEscapeText(m_escapeField->toPlainText().toStdString());
        refresh();
    });
    m_fieldRow = new QHBoxLayout;
    m_fieldRow->addWidget(m_escapeField);
    m_fieldRow->addStretch();
    layout->addLayout(m_fieldRow);

    auto* row = new QHBoxLayout;
    row->addStretch();
    auto* cancel = button("Cancel", card, 160);
    cancel->setObjectName("cancel");
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, [this] { cancelBreakOut(); });
    row->addWidget(cancel);
    m_breakOutButton = button("Break out", card, 160);
    m_breakOutButton->setObjectName("breakOut");
    m_breakOutButton->setAutoDefault(false);
    connect(m_breakOutButton, &QPushButton::clicked, this, [this] {
        if (m_model.pressBreakOut()) {
            if (m_actions.breakOut) {
                m_actions.breakOut();
            }
            return;
        }
        refresh();
    });
    row->addWidget(m_breakOutButton);
    layout->addLayout(row);
    return card;
}

void BlockingOverlayView::activateDefault()
{
    if (m_model.card() == BlockingOverlayModel::Card::callout && m_actions.dismiss) {
        m_actions.dismiss();
    }
}

bool BlockingOverlayView::isBreakOutCardShown() const
{
    return m_model.card() == BlockingOverlayModel::Card::breakOut;
}

void BlockingOverlayView::showBreakOutCard()
{
    m_model.showBreakOutCard();
    refresh();
    // The wall's windows never take focus from the window manager: the field takes the keyboard.
    m_escapeField->setFocus();
    m_escapeField->grabKeyboard();
    if (m_actions.breakOutCardShown) {
        m_actions.breakOutCardShown(m_screen, true);
    }
}

void BlockingOverlayView::cancelBreakOut()
{
    m_escapeField->releaseKeyboard();
    m_model.cancel();
    m_escapeField->clear();
    refresh();
    window()->grabKeyboard();
    if (m_actions.breakOutCardShown) {
        m_actions.breakOutCardShown(m_screen, false);
    }
}

void BlockingOverlayView::refresh()
{
    m_cards->setCurrentIndex(isBreakOutCardShown() ? 1 : 0);
    m_breakOutButton->setEnabled(m_model.canBreakOut());
    // A refused break-out jolts the field sideways.
    const int shift = m_model.wiggle() ? 8 : 0;
    m_fieldRow->setContentsMargins(8 - shift, 0, shift, 0);
}

} // namespace kestrove
