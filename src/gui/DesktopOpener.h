// Opens a file or a web page with the program the desktop associates with it.
// Windows call it through a reference so tests can record instead of launching.
#pragma once

#include <QString>
#include <QStringList>

namespace vantrel {

class DesktopOpener {
  public:
    virtual ~DesktopOpener() = default;
    // target is a local path or an address such as "https://…"; true when the
    // desktop accepted the request.
    virtual bool open(const QString& target);
};

// Records the targets instead of opening them.
class RecordingOpener : public DesktopOpener {
  public:
    bool open(const QString& target) override
    {
        opened.append(target);
        return result;
    }
    QStringList opened;
    bool result = true;
};

} // namespace vantrel
