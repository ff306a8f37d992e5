#ifndef TEXTDOCUMENT_H
#define TEXTDOCUMENT_H

#include <QString>

// Reads a UTF-8 text document (normally a resource under ":/data/") line by
// line and joins the lines without their line ends. The documents are written
// for this: a line that continues running text ends in markup or the next one
// begins with a blank. A document that is missing or cannot be opened gives an
// empty string; nobody is told, the dialog just shows less.
QString readTextDocument(const QString &path);

#endif // TEXTDOCUMENT_H
