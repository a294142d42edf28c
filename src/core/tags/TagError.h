// The error both tag classes raise when a file cannot be opened for reading:
// it carries the system's error number, its description and the source text
// (the executable's name followed by ".cMP3ID3v1" or ".cMP3ID3v2").
#pragma once

#include <QString>
#include <stdexcept>

namespace vantrel {

class TagFileError : public std::runtime_error {
  public:
    TagFileError(int number, const QString& description, const QString& source);

    // From a failed system call: errnum is the errno value, className the
    // class that failed ("cMP3ID3v1" or "cMP3ID3v2").
    static TagFileError fromErrno(int errnum, const QString& className);

    int number() const { return number_; }
    const QString& description() const { return description_; }
    const QString& source() const { return source_; }

  private:
    int number_;
    QString description_;
    QString source_;
};

// The executable's file name without its extension ("vantrel" when no
// application object exists, as in tests), a dot and className.
QString tagErrorSource(const QString& className);

// The system's description of an errno value, as text.
QString systemErrorText(int errnum);

} // namespace vantrel
