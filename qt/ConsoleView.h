#pragma once

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <string>

#include "platform/Controls.h"

namespace qtgui {

// The console: keeps its text exactly (CR LF, every byte) and shows it with
// plain line feeds; nothing in it is read as markup.
//
// Appends reach the view in one insertion after the pass of the event loop
// that made them, and during a flood at most every kFlushMs, so that a burst
// of replies is laid out once, not once a reply.
class ConsoleView : public platform::IRichText {
public:
    explicit ConsoleView(QPlainTextEdit* view);
    static constexpr int kFlushMs = 25;
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override;
    std::int64_t length() const override { return static_cast<std::int64_t>(m_text.size()); }
    void appendText(const std::string& text) override;
    std::int64_t selStart() const override { return m_selStart; }
    void setSelStart(std::int64_t position) override;
    void saveFile(const std::string& path) override;

    // Brings the view up to the text now rather than on the next pass.
    void flush();

private:
    void showCaret();

    QPointer<QPlainTextEdit> m_view;
    std::string m_text;
    std::int64_t m_carriageReturns = 0;  // in m_text; the view shows none of them
    std::int64_t m_selStart = 0;
    QString m_unshown;  // the end of m_text that the view does not show yet, as shown
    bool m_caretUnshown = false;
    QTimer m_flushTimer;
    QElapsedTimer m_sinceFlush;
};

}  // namespace qtgui
