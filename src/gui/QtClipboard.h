// The desktop clipboard behind the Clipboard seam.
#pragma once

#include "platform/Clipboard.h"

namespace vantrel {

class QtClipboard : public Clipboard {
  public:
    void setText(const QString& text) override;
};

} // namespace vantrel
