// The help window's topics: their titles (the entries of the topic list) and
// texts, the about page, and the addresses the window points to.
#pragma once

#include <QString>

namespace vantrel::help {

// Topics 0 to 5 have an entry in the topic list; topic 7 is the graph page.
inline constexpr int kListedTopics = 6;
inline constexpr int kGraphTopic = 7;

inline const QString kProductPage = QStringLiteral("https://www.example.org/vantrel");
inline const QString kMakerPage = QStringLiteral("https://www.example.org");
inline const QString kContact = QStringLiteral("contact@example.org");

// Entry of the topic list and page title; empty for a topic without entry.
QString topicTitle(int topic);
// Text of the page; paragraphs separated by line breaks. Empty for a topic
// without a page of its own.
QString topicText(int topic);

// The caption of the link at the bottom of the window.
QString linkCaption();

} // namespace vantrel::help
