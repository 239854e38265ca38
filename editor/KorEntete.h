#pragma once
// Rules of the whole-file commands without a dialog of their own: the style sheet's input box
// and the template card's question.

#include <string>

// What the style-sheet box stores for a typed name: trimmed; a name that is not empty gets the
// extension ".xsl" (in place of its own, if it has one); an empty name removes the style sheet.
std::string NomFeuilleStyle(const std::string& saisie);

// The style sheet's input box.
std::string TitreFeuilleStyle();    // "Feuille de style"
std::string InviteFeuilleStyle();   // "Nom du fichier :"

// The template card's question (Yes, No, "Abandonner") and the confirmation of its removal.
std::string QuestionCanevas();
std::string QuestionSuppressionCanevas();
inline constexpr int ContexteAideCanevas = 8;
