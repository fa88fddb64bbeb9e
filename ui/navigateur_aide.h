#pragma once
// The browser of the help window, read by a screen reader as a document.
class QTextBrowser;
class QWidget;

QTextBrowser *creerNavigateurAide(QWidget *parent);
