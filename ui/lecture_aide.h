#pragma once
// How a screen reader reads the help browser: the page as a read-only
// document with a caret, each picture as its alternative text, and the link
// that Tab selects as an object of its own that takes the focus.
class QMetaObject;
class QTextBrowser;

// Browsers of this class (and of its subclasses) are read that way.
void lireCommeDocument(const QMetaObject &classe);

// Tab or Shift+Tab has just moved the browser's selection: onto a link,
// which takes the reader's focus, or off the links, and the page has it.
void signalerTabulation(QTextBrowser *navigateur);
