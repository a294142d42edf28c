#include "tags/GenrePicker.h"

namespace vantrel {

GenrePicker::GenrePicker() : entries_(genrePickerEntries()) {}

void GenrePicker::setListIndex(int index)
{
    if (index < 0 || index >= entries_.size()) {
        listIndex_ = -1;
        return;
    }
    listIndex_ = index;
    text_ = entries_.at(index).name;
}

void GenrePicker::setText(const QString& text)
{
    text_ = text;
    listIndex_ = -1;
    for (int i = 0; i < entries_.size(); ++i) {
        if (entries_.at(i).name == text) {
            listIndex_ = i;
            break;
        }
    }
}

void GenrePicker::resolve(bool keepUnmatchedText)
{
    int found = -1;
    if (!text_.isEmpty()) {
        // An exact name in any letter case wins, so "Rock" and "rock" stay
        // Rock and do not become the first genre that contains the text
        // ("Classic Rock").
        for (int i = 0; i < entries_.size() && found < 0; ++i) {
            if (entries_.at(i).name.compare(text_, Qt::CaseInsensitive) == 0) found = i;
        }
        for (int i = 0; i < entries_.size() && found < 0; ++i) {
            if (entries_.at(i).name.contains(text_, Qt::CaseSensitive)) found = i;
        }
    }
    if (found < 0 && keepUnmatchedText) {
        listIndex_ = 0;
        return;
    }
    setListIndex(found < 0 ? 0 : found);
}

int GenrePicker::selectedGenre() const
{
    return listIndex_ < 0 ? NoGenre : entries_.at(listIndex_).number;
}

} // namespace vantrel
