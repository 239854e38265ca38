#pragma once
// What the programs' windows share to talk to the user: the caption a message box takes from its
// icon, the width a box needs for its caption, the one-line input box, and file-system paths as
// Qt shows them.

#include <QMessageBox>
#include <QString>

#include <functional>
#include <string>

#include "platform/Chemin.h"  // paths as Qt holds them

class QApplication;
class QDialog;
class QLineEdit;
class QWidget;

// "Confirmation", "Avertissement", "Erreur" or "Information", by the box's icon.
QString TitreBoite(QMessageBox::Icon icone);

// How every window shows a message box, so that tests can script it: the icon, the caption
// (empty: the icon's), the text and the buttons; the button pressed.
using FBoiteMessage = std::function<QMessageBox::StandardButton(
    QMessageBox::Icon icone, const QString& titre, const QString& texte, QMessageBox::StandardButtons boutons)>;
// The platform's message box over parent (none: centred on the screen), modal for the whole
// program; an Abort button reads "Abandonner".
QMessageBox::StandardButton BoiteMessageStandard(QWidget* parent, QMessageBox::Icon icone, const QString& titre,
                                                 const QString& texte, QMessageBox::StandardButtons boutons);

// The width a window needs to show its whole caption under a window manager: the caption in a
// bold title font, and room for the title bar's icon and buttons.
int LargeurPourTitre(const QString& titre);
// Makes the dialog, or message box, at least that wide (a message box computes its own size
// when shown: it is given a part that is that wide).
void ElargitPourTitre(QDialog& boite);
// Every dialog and message box of the program, when shown, is made wide enough for its caption.
void ElargitLesBoitesAuTitre(QApplication& application);

// A one-line edit that keeps any length of text (Qt's own cuts at 32,767 characters): a list
// or a label read from a file is stored back whole.
QLineEdit* EditionSansLimite(QWidget* parent);

// The modal one-line input box over parent, pre-filled with texte, with OK and "Annuler";
// true and texte := the typed text on OK, false on Annuler.
bool SaisieLigne(QWidget* parent, const QString& titre, const QString& invite, QString& texte);

