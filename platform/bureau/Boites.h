#pragma once
// What the programs' windows share to talk to the user: the caption a message box takes from its
// icon, and file-system paths as Qt shows them.

#include <QMessageBox>
#include <QString>
#include <string>

// "Confirmation", "Avertissement", "Erreur" or "Information", by the box's icon.
QString TitreBoite(QMessageBox::Icon icone);

// A file-system path (the bytes the system uses) as Qt holds it, and back.
QString VersChemin(const std::string& chemin);
std::string DepuisChemin(const QString& chemin);
