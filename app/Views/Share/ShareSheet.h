#pragma once

#include "Platform/Clipboard.h"
#include "Platform/Scheduler.h"
#include "ViewLogic/Share/ShareCardBuilder.h"
#include "ViewLogic/Share/ShareSheetModel.h"
#include "Views/Components/SymbolPill.h"

#include <QDialog>
#include <QImage>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kestrove {

class SessionEngine;

// The sheet that shares one day or one week: it builds and renders the card, previews it, and
// copies it, saves it as a PNG file, or posts it (the site's composer opens in the default
// browser with the post text, and the card follows from the clipboard). The handle printed on
// the card is edited here and kept on Return. Main thread only.
class ShareSheet final : public QDialog
{
public:
    struct Services
    {
        SessionEngine& engine;
        Clipboard& clipboard;
        // Hands the card on the clipboard to the composer paste flow; empty: no paste follows.
        std::function<void(std::int64_t changeCount)> attachToComposer;
        // Opens an address in the default browser; false when it could not.
        std::function<bool(const std::string& address)> openAddress;
        // Asks where to save, proposing a file name; empty when the user cancelled.
        std::function<QString(QWidget* parent, const QString& proposedName)> chooseFile;
    };

    ShareSheet(Services services, SharePeriod period, QWidget* parent = nullptr);
    ~ShareSheet() override;

    // Shows the sheet over `parent`'s window, deleted when it closes.
    static ShareSheet* present(Services services, const SharePeriod& period, QWidget* parent);

    // The desktop's own ways: a save dialog for PNG files, the default browser.
    static QString askForFile(QWidget* parent, const QString& proposedName);
    static bool openInBrowser(const std::string& address);

    const SharePeriod& period() const { return m_period; }
    QString title() const;
    // Builds the card again with the handle field as it stands; the newest build is shown.
    void build();
    // What the buttons do.
    void copyImage();
    void savePNG();
    void postOnX();
    // Stores the handle field and builds again (the field's Return).
    void submitHandle();

    const QImage& image() const { return m_image; }
    const ShareSheetState& state() const { return m_state; }
    QLineEdit* handleField() const { return m_handle; }
    QPlainTextEdit* postTextEditor() const { return m_postText; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* saveButton() const { return m_save; }
    QPushButton* postButton() const { return m_post; }

private:
    void applyCard(std::uint64_t build, ShareCard card);
    void refreshControls();
    void afterFeedback(std::function<void()> reset);

    Services m_services;
    SharePeriod m_period;
    ShareCardBuilder m_builder;
    ShareSheetState m_state;
    QImage m_image;
    std::vector<std::unique_ptr<ScheduledTimer>> m_resets;

    QWidget* m_preview;
    SymbolPill* m_copy;
    QPushButton* m_save;
    QPushButton* m_post;
    QLineEdit* m_handle;
    QPlainTextEdit* m_postText;
};

} // namespace kestrove
