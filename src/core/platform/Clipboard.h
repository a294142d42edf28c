// Seam for the desktop services that only a windowed program has: the
// clipboard and opening a file or web page with its default program. The GUI
// implements them with Qt; tests and the CLI record what was asked.
#pragma once

#include <QString>

namespace vantrel {

class Clipboard {
  public:
    virtual ~Clipboard() = default;
    // Replaces the clipboard's whole content with plain text.
    virtual void setText(const QString& text) = 0;
};

// Keeps the last text; for tests and the command-line tool.
class MemoryClipboard : public Clipboard {
  public:
    void setText(const QString& text) override { text_ = text; }
    const QString& text() const { return text_; }

  private:
    QString text_;
};

} // namespace vantrel
