#pragma once
// The right answer of each question of the Capitales sample, by a word of its question.

#include <string>
#include <utility>
#include <vector>

inline const std::vector<std::pair<std::string, std::string>> ReponsesCapitales = {
    {"France", "Paris"},         {"Belgique", "Brussel"},    {"Allemagne", "berlin"},
    {"Pays-Bas", "la Haye"},     {"Burkina", "Ouagadougou"}, {"Malte", "Valette"},
    {"Australie", "Canberra"},   {"Suisse", "Bern"},         {"Brésil", "Brasília"},
    {"Japon", "Tokio"}};
