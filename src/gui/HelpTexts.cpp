#include "HelpTexts.h"

#include "Version.h"

#include <QStringList>

namespace vantrel::help {

namespace {

const QString kApp = QStringLiteral("Vantrel");

// A page is written as its paragraphs; an entry followed by Blank ends with
// an empty line, every other one with a single line break.
struct Para {
    QString text;
    bool blankAfter = false;
};
constexpr bool Blank = true;

QString page(std::initializer_list<Para> paras)
{
    QString out;
    const Para* last = paras.end() - 1;
    for (const Para* p = paras.begin(); p != paras.end(); ++p) {
        out += p->text;
        if (p == last) break;
        out += p->blankAfter ? QStringLiteral("\n\n") : QStringLiteral("\n");
    }
    return out;
}

QString measuredOn()
{
    return QStringLiteral(
        "The computer on which the times were measured is a Pentium D 3.9Ghz, 2GB DDR2, "
        "Radeon X800GTO, 500GB SATA2. If your computer is older than this, expect up to 50% "
        "longer simulation time.");
}

QString slowMedia()
{
    return QStringLiteral(
        "If you include files on a memory stick, external disk or network drive, expect a much "
        "longer time than stated!");
}

QString generalHelp()
{
    return page({
        {QStringLiteral(
            "Vantrel is a handy tool to correct audio file names (currently mp3 and wma) for Windows.")},
        {QStringLiteral(
            "This is achieved by collecting the ID3-Tags, containing information about the Artist, "
            "Title, Album etc, and using these values to set a new filename. The standard form is "
            "<Artist> - <Title>.mp3, or a renaming scheme of your own.")},
        {QStringLiteral(
             "Vantrel also contains something called 'Intelligent Filename Parser', which is a method "
             "to clean up filenames without using the ID3-Tag. See the renaming options in the list above."),
         Blank},
        {QStringLiteral("The top section of the Vantrel main window offers several buttons and options:")},
        {QStringLiteral(
            "A load button - click this button and the folder specified in the text field above will "
            "be loaded into Vantrel")},
        {QStringLiteral(
            "A browse button - click this button to browse your computer for a music folder to load "
            "into Vantrel")},
        {QStringLiteral(
            "An option to include subfolders - Do you want to search for audio files in subfolders "
            "to the folder you specified?")},
        {QStringLiteral(
            "A clear list button - clears the list containing the files you want to work with. Will "
            "be done automatically if you load a new folder.")},
        {QStringLiteral("A renaming schemes button - Set custom renaming schemes for your files, and other "
                        "options."),
         Blank},
        {QStringLiteral(
             "The middle section of Vantrel consists of one large list containing all the files you "
             "want to handle. Drag and drop files and folders into it from your file manager, and "
             "double-click a file to edit its ID3-Tag and new name."),
         Blank},
        {QStringLiteral(
             "Below the renaming options there are three buttons. One to simulate the results, one to "
             "actually rename the files from the outcome of the simulation, and one Exit button."),
         Blank},
        {QStringLiteral(
            "'Undo last fix' (and 'vantrel-cli undo') undoes the last fix, names and tags, even an "
            "interrupted one.")},
    });
}

QString optionFromTag()
{
    return page({
        {QStringLiteral("This is the most common option and probably the one you'll want to use.")},
        {QStringLiteral("The program will read the ID3-Tag for each file and rename it accordingly: "
                        "'<Artist> - <Title>.mp3' if you have not applied a custom renaming scheme.")},
        {QStringLiteral(
             "If an ID3-Tag is not found or seems to be incomplete, the current filename will be "
             "corrected using the Vantrel Intelligent filename parser instead, just like option (2) "
             "does."),
         Blank},
        {QStringLiteral("Notice that all filenames will be corrected with the Vantrel Intelligent filename "
                        "parser, even after using the ID3-tag.")},
        {QStringLiteral("For ID3-Tags, ID3v2 is used if it's not empty. Otherwise ID3v1 is used. If you tick "
                        "'Use only ID3v1 (if possible)', only the ID3v1-tag will be read."),
         Blank},
        {QStringLiteral("Speed")},
        {QStringLiteral(
             "To simulate fix of 100 files on a normal computer of today will take approximately ~5 "
             "seconds. Double-click HERE to see the full graph at which the time calculations are "
             "based."),
         Blank},
        {measuredOn(), Blank},
        {slowMedia()},
    });
}

QString optionFromName()
{
    return page({
        {QStringLiteral(
            "This option will not read the ID3-tags of your files, just send the current names into "
            "the Vantrel Intelligent Filename Parser, which will correct them by removing:")},
        {QStringLiteral(
             "unwanted characters, web adresses, ripper tags, numbers (if selected), spaces, etc. It "
             "will also make all characters lower case and then set the ones that should be upper "
             "case, to upper case."),
         Blank},
        {QStringLiteral("Speed")},
        {QStringLiteral(
             "This method is slightly faster than correcting from ID3-tags. To simulate fix of 1000 "
             "files on a normal computer of today will take approximately ~25 seconds. Double-click "
             "HERE to see the full graph at which the time calculations are based."),
         Blank},
        {measuredOn(), Blank},
        {slowMedia()},
    });
}

QString optionTagsFromName()
{
    return page({
        {QStringLiteral(
            "This option will first run the names through the Intelligent Filename Parser, and then "
            "assume the form is <Artist> - <Title>.mp3.")},
        {QStringLiteral(
             "From this name, <Artist> and <Title> is gathered and inserted into the ID3 tag (ID3v1 "
             "and ID3v2). Before anything is written, the program asks if you want to replace the "
             "current tags, or only fill in the ones that are empty."),
         Blank},
        {QStringLiteral("This option will NOT alter the filenames, just the tags! You still have to run the "
                        "simulation before you click 'fix files!'."),
         Blank},
        {QStringLiteral("Speed")},
        {QStringLiteral("This option is quite slow. To fix 10 tags on a normal computer of today will take "
                        "approximately ~1.5 seconds."),
         Blank},
        {measuredOn(), Blank},
        {slowMedia()},
    });
}

QString id3v1AndTrackNumbers()
{
    return page({
        {QStringLiteral("'Use only ID3v1'")},
        {QStringLiteral("By ticking this box, Vantrel will only look at the ID3v1-tags when simulating and "
                        "creating the new names. If ID3v1-tag is empty, the file will be handled as a file "
                        "without a tag.")},
        {QStringLiteral(
            "Use this option if the ID3v2-tags are messed up, or if you know that the ID3v1-tags are "
            "more accurate in your specific set of files.")},
        {QStringLiteral(
             "The difference between ID3v1 and ID3v2 is that ID3v2 is newer and can hold more "
             "characters in each field. Vantrel only handles the fields Title, Artist, Album, Year, "
             "Genre and Comment."),
         Blank},
        {QStringLiteral("'Remove track numbers'")},
        {QStringLiteral(
            "This option is set by default to true. Vantrel will find the track numbers in your "
            "filenames and remove them, but years (such as 1999) and artist names with numbers in "
            "them are kept.")},
        {QStringLiteral(
            "Even though it works most of the time, it's impossible to make it perfect. If numbers "
            "you want to keep are removed, just untick this option.")},
    });
}

QString about()
{
    return page({
        {QStringLiteral("Copyright (C) 2008 the Vantrel authors. All rights reserved.")},
        {kMakerPage},
        {kContact, Blank},
        {QString(), Blank},
        {QStringLiteral("More info and help at application website:")},
        {kProductPage, Blank},
        {QStringLiteral("New features in Vantrel 2008:")},
        {QStringLiteral("- Listview with before - after fix filenames")},
        {QStringLiteral("- Double-click a file in the list to edit ID3-Tag and the new name manually")},
        {QStringLiteral("- Option to include subfolders")},
        {QStringLiteral("- Renaming schemes and options")},
        {QStringLiteral(
            "- Select one or multiple files in the list and click Del to remove them from the list")},
        {QStringLiteral("- Drag 'n' Drop files and folders from windows into the list")},
        {QStringLiteral("- The 'Fix files'-button doesn't resimulate and fix the files anymore, just renames "
                        "them. This allows users to set new names manually and is a lot faster")},
        {QStringLiteral("- A help section and a more intitutive GUI")},
        {QStringLiteral("- Rough time calculations")},
        {QStringLiteral("- Update to newer versions is now optional")},
        {QStringLiteral("- Faster, more intelligent, and more stable")},
    });
}

} // namespace

QString topicTitle(int topic)
{
    switch (topic) {
    case 0:
        return QStringLiteral("General help - ") + kApp + QLatin1Char(' ') + versionLabel();
    case 1:
        return QStringLiteral("Option (1): Rename using info from ID3-tag");
    case 2:
        return QStringLiteral("Option (2): Ignore ID3-tag. Correct current name");
    case 3:
        return QStringLiteral("Option (3): Update ID3-Tag from filename");
    case 4:
        return QStringLiteral("Use only ID3v1 and Remove track numbers");
    case 5:
        return QStringLiteral("About ") + kApp + QLatin1Char(' ') + versionLabel();
    default:
        return {};
    }
}

QString topicText(int topic)
{
    switch (topic) {
    case 0:
        return generalHelp();
    case 1:
        return optionFromTag();
    case 2:
        return optionFromName();
    case 3:
        return optionTagsFromName();
    case 4:
        return id3v1AndTrackNumbers();
    case 5:
        return about();
    default:
        return {};
    }
}

QString linkCaption()
{
    return QStringLiteral("Visit the Vantrel website");
}

} // namespace vantrel::help
