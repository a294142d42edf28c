// The state of a genre picker without a widget: its entries (shown name and
// genre number as item data), the selected entry and the text in its edit
// field. The tag window keeps two of them; a window with a real combo box can
// mirror one.
#pragma once

#include "tags/Genres.h"

#include <QList>
#include <QString>

namespace vantrel {

class GenrePicker {
  public:
    // Filled at once: the empty entry (item data 255), then every named genre
    // in number order.
    GenrePicker();

    const QList<GenreEntry>& entries() const { return entries_; }
    int ListCount() const { return int(entries_.size()); }
    int ItemData(int index) const { return entries_.at(index).number; }

    // The selected entry, -1 for none.
    int ListIndex() const { return listIndex_; }
    // Selects an entry; the text becomes its name. -1 selects nothing and
    // keeps the text.
    void setListIndex(int index);

    // The edit field's text. Setting it selects the entry with exactly that
    // name, or none.
    const QString& Text() const { return text_; }
    void setText(const QString& text);

    // Picks the entry for the current text: the entry whose name equals it in
    // any letter case,
    // else the first entry (in list order) whose name contains it (case
    // sensitive), else the empty first entry. With keepUnmatchedText the text
    // of an unmatched search stays (a genre given only as a name);
    // otherwise it becomes the selected entry's name.
    void resolve(bool keepUnmatchedText = false);

    // Item data of the selected entry; 255 when none is selected.
    int selectedGenre() const;

  private:
    QList<GenreEntry> entries_;
    int listIndex_ = -1;
    QString text_;
};

} // namespace vantrel
