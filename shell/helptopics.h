#pragma once

// The help texts, compiled into the program and keyed by topic number:
// 1000 Overview, 3000 Main Screen, 4000 Searching Options, 5000 Filter Names
// by 'Affiliations', 5500 Upcoming Birthdays/Anniversaries, 6000 Printing
// Options, 7000 About Oriel Software.

#include <QList>
#include <QString>

namespace corvane {

// The text of topic `number`, its lines separated by CR LF; empty for a
// number that has no text.
QString helpTopicText(int number);

// Every topic number that has a text.
QList<int> helpTopicNumbers();

}  // namespace corvane
