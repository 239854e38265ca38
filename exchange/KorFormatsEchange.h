#pragma once
// The rows of the exchange formats in the table of formats (cards/KorFormats.h), and the
// lookup over every format, card and exchange formats alike.

#include <span>

#include "cards/KorFormats.h"

// Cardfile, CSV, plain text and Moodle.
std::span<const TFormat> FormatsEchange();
// The row of a format letter; null for a letter no format has.
const TFormat* ChercheFormat(char lettre);
